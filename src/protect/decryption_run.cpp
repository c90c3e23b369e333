#include <algorithm>

#include "protect/block_batch.h"
#include "protect/container.h"
#include "protect/input_reader.h"
#include "protect/progress.h"
#include "protect/restorable_name.h"
#include "protect/run.h"

namespace ovalith {

RunOutcome DecryptionRun(RunState& run) {
  View& view = run.view;
  InputReader input(run.system, run.FileName);
  run.InBlock = input.ReadBlock();
  run.cipher.Decrypt(run.InBlock, run.OutBlock, run.KeyBlock);
  if (!CheckHeader(run.OutBlock)) {
    if (run.set) {
      run.set->why =
          "it does not open with this password (or is not an Ovalith 2.0 "
          "file)";
      return RunOutcome::kSkipped;
    }
    ShowWrongPassword(view);
    return RunOutcome::kRefused;
  }
  std::string name = SafeRestoredName(run.system, run.ShortName, run.OutBlock);
  if (auto outcome = CheckOutput(run, name)) return *outcome;

  PendingOutput output(run.system, name, run.FileName);
  Progress progress(view, run.progress_base);
  BlockBatch batch(run.cipher, run.KeyBlock, BlockBatch::Transform::Decrypt,
                   output);
  // Every block before the last data block and the trailer goes in bulk.
  while (batch.AddFrom(input, 2 * BlockType::kSize))
    progress.Update(input.Position());
  // One block stays in hand: only the block after it tells whether it is
  // the last data block, to be cut to the trailer's count.
  run.InBlock = input.ReadBlock();
  if (input.AtEnd()) {
    // No data block: the block in hand is the trailer of an empty file.
    run.cipher.Decrypt(run.InBlock, run.OutBlock, run.KeyBlock);
    TrailerCount(run.OutBlock);
  }
  while (!input.AtEnd()) {
    run.NextBlock = input.ReadBlock();
    if (input.AtEnd()) {
      run.cipher.Decrypt(run.NextBlock, run.OutBlock, run.KeyBlock);
      std::size_t count = std::min<std::size_t>(
          static_cast<std::size_t>(TrailerCount(run.OutBlock)),
          BlockType::kSize);
      batch.Add(run.InBlock);
      batch.Flush(count);
      break;
    }
    batch.Add(run.InBlock);
    run.InBlock = run.NextBlock;
    progress.Update(input.Position());
  }
  batch.Flush();
  input.Close();
  CommitOutput(run, output, name);
  return RunOutcome::kCompleted;
}

}  // namespace ovalith
