#include "protect/container.h"

#include <cstdio>

#include "platform/failure.h"

namespace ovalith {

namespace {

const char kHeaderMark[] = "Ov2";
const char kTrailerMark[] = "Ov2End.";
const std::size_t kExtensionLength = 5;

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::string_view AfterFirstDot(std::string_view text) {
  std::size_t dot = text.find('.');
  return dot == std::string_view::npos ? text : text.substr(dot + 1);
}

std::string_view NamePrefix(std::string_view listed_name) {
  std::size_t dot = listed_name.find('.');
  return dot == std::string_view::npos ? std::string_view()
                                       : listed_name.substr(0, dot + 1);
}

bool IsContainerName(std::string_view listed_name, bool ignore_case) {
  std::string_view extension = AfterFirstDot(listed_name);
  if (!ignore_case) return extension == "ov2";
  if (extension.size() != 3) return false;
  std::string lower(extension);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower == "ov2";
}

BlockType BuildHeader(std::string_view extension) {
  return BlockType::FromText(
      std::string(kHeaderMark) +
      std::string(extension.substr(0, kExtensionLength)));
}

BlockType BuildTrailer(int count) {
  return BlockType::FromText(std::string(kTrailerMark) + std::to_string(count));
}

bool CheckHeader(const BlockType& header) {
  return header.Text().starts_with(kHeaderMark);
}

std::string StoredExtension(const BlockType& header) {
  std::string text = header.Text();
  return std::string(TrimSpaces(std::string_view(text).substr(3)));
}

int TrailerCount(const BlockType& trailer) {
  std::uint8_t digit = trailer.bytes[7];
  if (!trailer.Text().starts_with(kTrailerMark) || digit < '0' || digit > '9')
    throw Failure("the container is damaged or truncated");
  return digit - '0';
}

std::string ContainerName(std::string_view listed_name) {
  return std::string(NamePrefix(listed_name)) + "ov2";
}

std::string RestoredName(std::string_view listed_name,
                         std::string_view stored_extension) {
  return std::string(NamePrefix(listed_name)) + std::string(stored_extension);
}

std::string EscapeName(std::string_view name) {
  std::string shown;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || c == '\\') {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", byte);
      shown += code;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace ovalith
