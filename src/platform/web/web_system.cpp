#include "platform/web/web_system.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "cipher/library/ovalith_des.h"
#include "platform/web/windows_1252.h"

// The worker's side of each call is in web_host.js (Module.host).
// clang-format off
EM_JS(int, ovalith_host_file_count, (), {
  return Module.host.chosen.length;
});
EM_JS(char*, ovalith_host_file_name, (int index), {
  return Module.host.newString(Module.host.chosen[index]);
});
EM_JS(int, ovalith_host_exists, (const char* name), {
  return Module.host.exists(UTF8ToString(name)) ? 1 : 0;
});
EM_JS(double, ovalith_host_size, (const char* name), {
  return Module.host.size(UTF8ToString(name));
});
EM_JS(int, ovalith_host_open_input, (const char* name), {
  return Module.host.openInput(UTF8ToString(name));
});
EM_JS(double, ovalith_host_read, (int handle, void* buf, double n), {
  return Module.host.read(handle, buf, n);
});
EM_JS(void, ovalith_host_close_input, (int handle), {
  Module.host.closeInput(handle);
});
EM_JS(int, ovalith_host_create, (const char* name), {
  return Module.host.create(UTF8ToString(name));
});
EM_JS(int, ovalith_host_write, (int handle, const void* data, double n), {
  return Module.host.write(handle, data, n) ? 1 : 0;
});
EM_JS(int, ovalith_host_close_output, (int handle), {
  return Module.host.closeOutput(handle) ? 1 : 0;
});
EM_JS(void, ovalith_host_replace, (const char* temp, const char* final_name), {
  Module.host.replace(UTF8ToString(temp), UTF8ToString(final_name));
});
EM_JS(void, ovalith_host_remove, (const char* name), {
  Module.host.remove(UTF8ToString(name));
});
// clang-format on

namespace ovalith {

namespace {

// Names in the worker's directory have no leading '/'.
std::string Bare(const std::string& path) {
  return !path.empty() && path[0] == '/' ? path.substr(1) : path;
}

class WebInputFile : public InputFile {
 public:
  WebInputFile(int handle, std::string name, std::uint64_t size)
      : handle_(handle), name_(std::move(name)), size_(size) {}
  ~WebInputFile() override { ovalith_host_close_input(handle_); }

  std::size_t Read(std::uint8_t* buf, std::size_t n) override {
    double got = ovalith_host_read(handle_, buf, static_cast<double>(n));
    if (got < 0) throw Failure(name_ + ": the browser could not read the file");
    return static_cast<std::size_t>(got);
  }
  std::uint64_t Size() override { return size_; }

 private:
  int handle_;
  std::string name_;
  std::uint64_t size_;
};

class WebOutputFile : public OutputFile {
 public:
  WebOutputFile(int handle, std::string name)
      : handle_(handle), name_(std::move(name)) {}
  ~WebOutputFile() override {
    if (!closed_) ovalith_host_close_output(handle_);
  }

  void Write(const std::uint8_t* data, std::size_t n) override {
    if (!ovalith_host_write(handle_, data, static_cast<double>(n)))
      throw Failure(name_ + ": the browser could not keep the output");
  }
  void Close() override {
    closed_ = true;
    if (!ovalith_host_close_output(handle_))
      throw Failure(name_ +
                    ": the browser could not keep the output (its storage "
                    "for downloads is full)");
  }

 private:
  int handle_;
  std::string name_;
  bool closed_ = false;
};

// Any non-null pointer will do: there is one library, linked in.
int g_library;

}  // namespace

CommandLine WebSystem::ReadCommandLine() {
  CommandLine line;
  for (int i = 0; i < ovalith_host_file_count(); ++i) {
    char* name = ovalith_host_file_name(i);
    // Named as chosen, relative to the one directory.
    line.paths.push_back(name);
    std::free(name);
  }
  // The text of one file; several are never one file here.
  if (line.paths.size() == 1) line.path = line.paths.front();
  return line;
}

std::string WebSystem::AbsolutePath(const std::string& path) {
  return path.empty() || path[0] != '/' ? "/" + path : path;
}

void WebSystem::EnterDirectory(const std::string& dir) {
  if (dir != "/") throw Failure(dir + ": no such directory");
}

std::optional<std::string> WebSystem::LookUp(const std::string& name) {
  if (name.find('/') != std::string::npos) return std::nullopt;
  if (!ovalith_host_exists(name.c_str())) return std::nullopt;
  return name;
}

// Passwords are folded in Windows-1252, as the desktop programs fold them.
std::optional<std::string> WebSystem::PasswordToCodePage(
    const std::string& text) const {
  return ToWindows1252(text);
}

// A result is saved under its name wherever the browser runs, so a name is
// plain only where every system the browser may run on takes it.
bool WebSystem::IsPlainName(const std::string& name) const {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || std::strchr("/\\:*?\"<>|", c))
      return false;
  }
  return true;
}

std::unique_ptr<InputFile> WebSystem::OpenInput(const std::string& path) {
  const std::string name = Bare(path);
  int handle = ovalith_host_open_input(name.c_str());
  if (handle < 0) throw Failure(name + ": no such file");
  return std::make_unique<WebInputFile>(handle, name, FileSize(path));
}

std::uint64_t WebSystem::FileSize(const std::string& path) {
  double size = ovalith_host_size(Bare(path).c_str());
  if (size < 0) throw Failure(Bare(path) + ": no such file");
  return static_cast<std::uint64_t>(size);
}

std::unique_ptr<OutputFile> WebSystem::CreateNew(const std::string& name) {
  int handle = ovalith_host_create(name.c_str());
  if (handle < 0) return nullptr;
  return std::make_unique<WebOutputFile>(handle, name);
}

void WebSystem::ReplaceFile(const std::string& temp_name,
                            const std::string& final_name) {
  ovalith_host_replace(temp_name.c_str(), final_name.c_str());
}

void WebSystem::RemoveFile(const std::string& name) noexcept {
  ovalith_host_remove(name.c_str());
}

// One flat directory: a name is a file.
std::string WebSystem::FileIdentity(const std::string& path) {
  const std::string name = Bare(path);
  return ovalith_host_exists(name.c_str()) ? name : std::string();
}

void* WebSystem::LoadLibrary(const std::string& name) {
  if (name != "ovalith") throw Failure(name + ": no such library in the page");
  return &g_library;
}

void* WebSystem::FindEntryPoint(void* library, const char* name) {
  if (library != &g_library) return nullptr;
  struct Entry {
    const char* name;
    void* function;
  };
  const Entry entries[] = {
      {"encrypt", reinterpret_cast<void*>(&encrypt)},
      {"decrypt", reinterpret_cast<void*>(&decrypt)},
      {"encrypt_blocks", reinterpret_cast<void*>(&encrypt_blocks)},
      {"decrypt_blocks", reinterpret_cast<void*>(&decrypt_blocks)},
  };
  for (const Entry& entry : entries)
    if (std::strcmp(entry.name, name) == 0) return entry.function;
  return nullptr;
}

}  // namespace ovalith
