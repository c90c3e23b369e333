#include "protect/block_batch.h"
#include "protect/container.h"
#include "protect/input_reader.h"
#include "protect/progress.h"
#include "protect/run.h"

namespace ovalith {

bool MayWrite(System& system, View& view, const std::string& name) {
  if (!system.LookUp(name)) return true;
  return view.MessageBox("File already exists !\r\nOverwrite ?",
                         Icon::Question) == Answer::Yes;
}

RunOutcome EncryptionRun(RunState& run) {
  View& view = run.view;
  std::string password = view.GetText(Control::txtPW1);
  if (password.size() < 4) {
    view.MessageBox("The password must be at least 4 characters.",
                    Icon::Information);
    return RunOutcome::kRefused;
  }
  if (password != view.GetText(Control::txtPW2)) {
    view.MessageBox("Both passwords are not equal !!", Icon::Information);
    return RunOutcome::kRefused;
  }
  std::string name = ContainerName(run.ShortName);
  if (!MayWrite(run.system, view, name)) return RunOutcome::kRefused;

  InputReader input(run.system, run.FileName);
  PendingOutput output(run.system, name);
  Progress progress(view);

  run.InBlock =
      BuildHeader(AfterFirstDot(run.system.NameToCodePage(run.ShortName)));
  run.cipher.Encrypt(run.InBlock, run.OutBlock, run.KeyBlock);
  output.Write(run.OutBlock.data(), BlockType::kSize);

  BlockBatch batch(run.cipher, run.KeyBlock, BlockBatch::Transform::Encrypt,
                   output);
  // i: how many bytes the block in hand holds; 9 when it was filled
  // without meeting the end.  An empty input ends before its first block.
  int i = 0;
  while (!input.AtEnd()) {
    // Every block but the one the input ends in goes in bulk.
    if (batch.AddFrom(input, 1)) {
      progress.Update(input.Position());
      continue;
    }
    run.InBlock = BlockType::FromText("");
    i = input.FillBlock(run.InBlock);
    batch.Add(run.InBlock);
    if (i < 9) break;
    progress.Update(input.Position());
  }
  run.InBlock = BuildTrailer(i);
  batch.Add(run.InBlock);
  batch.Flush();
  input.Close();
  output.Commit();
  return RunOutcome::kCompleted;
}

}  // namespace ovalith
