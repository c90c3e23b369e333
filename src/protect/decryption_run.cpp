#include "protect/block_batch.h"
#include "protect/container.h"
#include "protect/input_reader.h"
#include "protect/progress.h"
#include "protect/run.h"

namespace ovalith {

namespace {

// The stored extension comes from a block anyone can craft: the name it
// makes must stay a plain file in the working directory.  The prefix is part
// of a name already listed here, so odd characters in it are the user's own
// and must not stop a file from being restored.
std::string SafeRestoredName(Platform& platform, const std::string& listed,
                             const BlockType& header) {
  std::string extension = platform.CodePageToName(StoredExtension(header));
  std::string name = RestoredName(listed, extension);
  std::string checked =
      NamePrefix(listed).empty() ? name : RestoredName("x.", extension);
  if (name == "." || name == ".." || !platform.IsPlainName(checked))
    throw Failure("the container names a file that cannot be written: \"" +
                  EscapeName(name) + "\"");
  return name;
}

}  // namespace

RunOutcome DecryptionRun(RunState& run) {
  Platform& platform = run.platform;
  InputReader input(platform, run.FileName);
  run.InBlock = input.ReadBlock();
  run.cipher.Decrypt(run.InBlock, run.OutBlock, run.KeyBlock);
  if (!CheckHeader(run.OutBlock)) {
    platform.MessageBox("Wrong password or not an Ovalith 2.0 file",
                        Icon::Information);
    return RunOutcome::kRefused;
  }
  std::string name = SafeRestoredName(platform, run.ShortName, run.OutBlock);
  if (!MayWrite(platform, name)) return RunOutcome::kRefused;

  PendingOutput output(platform, name);
  Progress progress(platform);
  BlockBatch batch(run.cipher, run.KeyBlock, BlockBatch::Direction::Decrypt,
                   output);
  // One block stays in hand: only the block after it tells whether it is
  // the last data block, to be cut to the trailer's count.
  run.InBlock = input.ReadBlock();
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
  output.Commit();
  return RunOutcome::kCompleted;
}

}  // namespace ovalith
