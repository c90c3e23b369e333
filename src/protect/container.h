// container.h: the layout of a container file and the names of the files
// on both sides of it.
//
// A container is a sequence of 8-byte blocks, each encrypted on its own: a
// header block ("Ov2" and the plain file's extension), the data blocks (the
// last one filled up with spaces), and a trailer block ("Ov2End." and the
// count of bytes of the last data block that belong to the file).
#pragma once

#include <string>
#include <string_view>

#include "cipher/block_type.h"

namespace ovalith {

// The text after the first "."; the whole text when it has none.
std::string_view AfterFirstDot(std::string_view text);

// The listed name up to and including its first "."; empty without one.
std::string_view NamePrefix(std::string_view listed_name);

// True when the listed name marks a container: "ov2" after its first ".",
// in any letter case where names ignore it.
bool IsContainerName(std::string_view listed_name, bool ignore_case = false);

// "Ov2" and the first 5 characters of the extension, filled with spaces.
BlockType BuildHeader(std::string_view extension);

// "Ov2End." and the count as one digit.
BlockType BuildTrailer(int count);

// A decrypted header is accepted when it begins with "Ov2".
bool CheckHeader(const BlockType& header);

// Characters 4 to 8 of a decrypted header without leading and trailing
// spaces.
std::string StoredExtension(const BlockType& header);

// The digit in the 8th character of a decrypted trailer.  A block that
// does not read "Ov2End." and a digit is a Failure: the container was cut
// short or damaged, or the password is wrong after all.
int TrailerCount(const BlockType& trailer);

std::string ContainerName(std::string_view listed_name);
std::string RestoredName(std::string_view listed_name,
                         std::string_view stored_extension);

// A name with control characters shown as \xNN, for messages.
std::string EscapeName(std::string_view name);

}  // namespace ovalith
