// name_cases.h: the one table of plain names, the containers they are
// written to, the extension a header keeps and the name it restores, for
// every test that checks names.
#pragma once

namespace ovalith::test {

struct NameCase {
  const char* plain;
  const char* container;
  const char* extension;  // as the header stores it
  const char* restored;
};

inline constexpr NameCase kNameCases[] = {
    {"report.txt", "report.ov2", "txt", "report.txt"},
    {"archive.tar.gz", "archive.ov2", "tar.g", "archive.tar.g"},
    {"README", "ov2", "READM", "READM"},
    {"notes.", "notes.ov2", "", "notes."},
    {"photo.jpeg", "photo.ov2", "jpeg", "photo.jpeg"},
    {"a b.c d", "a b.ov2", "c d", "a b.c d"},
    {"x.ov2x", "x.ov2", "ov2x", "x.ov2x"},
    {"a.b.c.d", "a.ov2", "b.c.d", "a.b.c.d"},
    {"clip.webm123", "clip.ov2", "webm1", "clip.webm1"},
    {"with space.txt", "with space.ov2", "txt", "with space.txt"},
};

}  // namespace ovalith::test
