#include "protect/restorable_name.h"

#include "protect/container.h"

namespace ovalith {

namespace {

bool IsControl(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7f;
}

}  // namespace

std::string SafeRestoredName(const System& system,
                             const std::string& container_name,
                             const BlockType& header) {
  std::string extension = system.CodePageToName(StoredExtension(header));
  std::string name = RestoredName(container_name, extension);
  // The prefix is part of a name already listed here, so odd characters in
  // it are the user's own and must not stop a file from being restored.
  std::string checked =
      NamePrefix(container_name).empty() ? name : RestoredName("x.", extension);
  if (name == "." || name == ".." || !system.IsPlainName(checked))
    throw Failure("the container names a file that cannot be written: \"" +
                  EscapeName(name) + "\"");
  return name;
}

void CheckRestorable(const System& system, const std::string& plain_name) {
  BlockType header =
      BuildHeader(AfterFirstDot(system.NameToCodePage(plain_name)));
  try {
    SafeRestoredName(system, ContainerName(plain_name), header);
  } catch (const Failure&) {
    std::string stored = StoredExtension(header);
    std::string cause = "\"" + EscapeName(plain_name) + "\": ";
    for (char c : stored)
      if (IsControl(c))
        throw Failure(cause + "the control character " +
                      EscapeName(std::string(1, c)) +
                      " in its extension could not be restored from a "
                      "container");
    throw Failure(cause + "its extension \"" + EscapeName(stored) +
                  "\" could not be restored from a container");
  }
}

}  // namespace ovalith
