#include "protect/block_batch.h"
#include "protect/container.h"
#include "protect/input_reader.h"
#include "protect/progress.h"
#include "protect/run.h"

namespace ovalith {

RunOutcome EncryptionRun(RunState& run) {
  View& view = run.view;
  if (!CheckEncryptionPassword(view, run.Password)) return RunOutcome::kRefused;
  std::string name = ContainerName(run.ShortName);
  if (auto outcome = CheckOutput(run, name)) return *outcome;

  InputReader input(run.system, run.FileName);
  PendingOutput output(run.system, name, run.FileName);
  Progress progress(view, run.progress_base);

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
  CommitOutput(run, output, name);
  return RunOutcome::kCompleted;
}

}  // namespace ovalith
