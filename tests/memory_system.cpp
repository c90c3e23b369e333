#include "memory_system.h"

#include <dlfcn.h>
#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "platform/posix/posix_system.h"
#include "startup/command_line.h"

namespace ovalith::test {

// A file or a directory.  Open files hold their node, so a file that is
// replaced or removed stays readable through them, as on POSIX.
struct MemorySystem::Node {
  bool directory = false;
  unsigned mode = 0;
  std::string data;
  std::map<std::string, std::shared_ptr<Node>> entries;
};

// Where a path leads: the directory that holds its last name, the entry's
// listed name and node when it exists, or why the way there failed.
struct MemorySystem::Found {
  std::shared_ptr<Node> parent;
  std::string name;
  std::shared_ptr<Node> node;
  std::string error;  // as strerror words it
};

namespace {

using Node = MemorySystem::Node;

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  while (from <= path.size()) {
    std::size_t to = path.find('/', from);
    if (to == std::string::npos) to = path.size();
    std::string part = path.substr(from, to - from);
    if (!part.empty() && part != ".") parts.push_back(part);
    from = to + 1;
  }
  return parts;
}

class MemoryInput : public InputFile {
 public:
  MemoryInput(MemorySystem& system, std::shared_ptr<Node> node)
      : system_(system), node_(std::move(node)), size_(node_->data.size()) {}

  std::size_t Read(std::uint8_t* buf, std::size_t n) override {
    system_.Count("Read");
    const std::string& data = node_->data;
    std::size_t got = position_ < data.size()
                          ? std::min(n, data.size() - position_)
                          : std::size_t{0};
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(position_), got,
                buf);
    position_ += got;
    return got;
  }
  std::uint64_t Size() override {
    system_.Count("Size");
    return size_;
  }

 private:
  MemorySystem& system_;
  std::shared_ptr<Node> node_;
  std::uint64_t size_;  // measured at opening, as fstat does
  std::size_t position_ = 0;
};

class MemoryOutput : public OutputFile {
 public:
  MemoryOutput(MemorySystem& system, std::shared_ptr<Node> node)
      : system_(system), node_(std::move(node)) {}

  void Write(const std::uint8_t* data, std::size_t n) override {
    if (closed_) throw std::logic_error("write after close");
    try {
      system_.Count("Write");
    } catch (const Failure&) {
      // A full disk takes part of a write before it fails.
      node_->data.append(reinterpret_cast<const char*>(data), n / 2);
      throw;
    }
    node_->data.append(reinterpret_cast<const char*>(data), n);
  }
  bool WritesFromAnyThread() const override {
    return system_.WritesFromAnyThread();
  }
  void Close() override {
    if (closed_) throw std::logic_error("closed twice");
    system_.Count("Close");
    closed_ = true;
  }

 private:
  MemorySystem& system_;
  std::shared_ptr<Node> node_;
  bool closed_ = false;
};

}  // namespace

MemorySystem::MemorySystem(std::vector<std::string> args)
    : args_(std::move(args)), root_(std::make_shared<Node>()) {
  root_->directory = true;
  root_->mode = 0755;
}

MemorySystem::~MemorySystem() = default;

MemorySystem::Found MemorySystem::Resolve(const std::string& path) const {
  std::vector<std::string> parts = Components(path);
  if (path.empty() || path[0] != '/') {
    std::vector<std::string> from_cwd = Components(cwd_);
    from_cwd.insert(from_cwd.end(), parts.begin(), parts.end());
    parts = std::move(from_cwd);
  }
  // The way down, so that ".." can go back up it.
  std::vector<std::shared_ptr<Node>> way{root_};
  Found found;
  if (path.empty()) {
    found.error = "No such file or directory";
    return found;
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::shared_ptr<Node>& dir = way.back();
    if (!dir->directory) {
      found.error = "Not a directory";
      return found;
    }
    if (parts[i] == "..") {
      if (way.size() > 1) way.pop_back();
      continue;
    }
    auto entry = dir->entries.find(parts[i]);
    if (entry == dir->entries.end() && insensitive_)
      entry = std::find_if(
          dir->entries.begin(), dir->entries.end(), [&](const auto& e) {
            return ::strcasecmp(e.first.c_str(), parts[i].c_str()) == 0;
          });
    bool last = i + 1 == parts.size();
    if (last) {
      found.parent = dir;
      found.name = entry == dir->entries.end() ? parts[i] : entry->first;
      if (entry != dir->entries.end()) found.node = entry->second;
      if (found.node && !found.node->directory && path.back() == '/')
        found.error = "Not a directory";
      return found;
    }
    if (entry == dir->entries.end()) {
      found.error = "No such file or directory";
      return found;
    }
    way.push_back(entry->second);
  }
  // "/" or a path that ends in "..": a directory reached without a name.
  found.node = way.back();
  if (!found.node->directory) found.error = "Not a directory";
  return found;
}

// --- Setting up and looking -------------------------------------------------

void MemorySystem::SetWorkingDirectory(const std::string& dir) {
  Found found = Resolve(dir);
  if (!found.node || !found.node->directory)
    throw std::invalid_argument("no directory " + dir);
  cwd_ = dir[0] == '/' ? dir : AbsolutePath(dir);
}

void MemorySystem::MakeDirectory(const std::string& dir, unsigned mode) {
  std::string way = dir[0] == '/' ? "" : cwd_;
  for (const std::string& part : Components(dir)) {
    way += "/" + part;
    Found found = Resolve(way);
    if (found.node) {
      if (!found.node->directory)
        throw std::invalid_argument("not a directory: " + way);
      continue;
    }
    if (!found.parent) throw std::invalid_argument("cannot make " + way);
    auto node = std::make_shared<Node>();
    node->directory = true;
    node->mode = mode;
    found.parent->entries[found.name] = node;
  }
}

void MemorySystem::Write(const std::string& path, const std::string& data,
                         unsigned mode) {
  Found found = Resolve(path);
  if (!found.parent || (found.node && found.node->directory))
    throw std::invalid_argument("cannot write " + path);
  if (!found.node) {
    found.node = std::make_shared<Node>();
    found.node->mode = mode;
    found.parent->entries[found.name] = found.node;
  }
  found.node->data = data;
}

std::string MemorySystem::Read(const std::string& path) const {
  Found found = Resolve(path);
  if (!found.node || found.node->directory)
    throw std::invalid_argument("no file " + path);
  return found.node->data;
}

bool MemorySystem::Exists(const std::string& path) const {
  return Resolve(path).node != nullptr;
}

std::vector<std::string> MemorySystem::List(const std::string& dir) const {
  Found found = Resolve(dir);
  if (!found.node || !found.node->directory)
    throw std::invalid_argument("no directory " + dir);
  std::vector<std::string> names;
  for (const auto& entry : found.node->entries) names.push_back(entry.first);
  return names;
}

unsigned MemorySystem::Mode(const std::string& path) const {
  Found found = Resolve(path);
  if (!found.node) throw std::invalid_argument("nothing at " + path);
  return found.node->mode;
}

void MemorySystem::SetMode(const std::string& path, unsigned mode) {
  Found found = Resolve(path);
  if (!found.node) throw std::invalid_argument("nothing at " + path);
  found.node->mode = mode;
}

void MemorySystem::Remove(const std::string& path) {
  Found found = Resolve(path);
  if (!found.node || !found.parent)
    throw std::invalid_argument("nothing at " + path);
  found.parent->entries.erase(found.name);
}

std::map<std::string, std::string> MemorySystem::Snapshot() const {
  std::map<std::string, std::string> tree;
  auto walk = [&](auto& self, const Node& dir, const std::string& at) -> void {
    for (const auto& [name, node] : dir.entries) {
      std::string path = at + "/" + name;
      tree[path] = std::to_string(node->mode) + " " +
                   (node->directory ? "<dir>" : node->data);
      if (node->directory) self(self, *node, path);
    }
  };
  walk(walk, *root_, "");
  return tree;
}

// --- Injected failures --------------------------------------------------

void MemorySystem::FailAt(const std::string& call, int nth, std::string cause) {
  fail_call_ = call;
  fail_nth_ = nth;
  fail_cause_ = std::move(cause);
}

void MemorySystem::FailCall(int index, std::string cause) {
  fail_index_ = index;
  fail_cause_ = std::move(cause);
}

bool MemorySystem::Injected(const char* call) {
  std::lock_guard<std::mutex> lock(calls_mutex_);
  call_log_.push_back(call);
  int nth = ++calls_by_name_[call];
  return Calls() == fail_index_ || (call == fail_call_ && nth == fail_nth_);
}

void MemorySystem::Count(const char* call) {
  if (Injected(call)) throw Failure(fail_cause_);
}

// --- System ----------------------------------------------------------------

CommandLine MemorySystem::ReadCommandLine() {
  Count("ReadCommandLine");
  return ParseArguments(args_);
}

std::string MemorySystem::AbsolutePath(const std::string& path) {
  Count("AbsolutePath");
  if (!path.empty() && path[0] == '/') return path;
  return (cwd_ == "/" ? "" : cwd_) + "/" + path;
}

void MemorySystem::EnterDrive(const std::string&) { Count("EnterDrive"); }

void MemorySystem::EnterDirectory(const std::string& dir) {
  Count("EnterDirectory");
  Found found = Resolve(dir);
  if (found.error.empty() && !found.node)
    found.error = "No such file or directory";
  if (found.error.empty() && !found.node->directory)
    found.error = "Not a directory";
  if (!found.error.empty()) throw Failure(dir + ": " + found.error);
  // Kept in its shortest spelling.
  std::string absolute = dir[0] == '/' ? dir : cwd_ + "/" + dir;
  std::vector<std::string> parts;
  for (const std::string& part : Components(absolute)) {
    if (part != "..")
      parts.push_back(part);
    else if (!parts.empty())
      parts.pop_back();
  }
  cwd_.clear();
  for (const std::string& part : parts) cwd_ += "/" + part;
  if (cwd_.empty()) cwd_ = "/";
}

std::optional<std::string> MemorySystem::LookUp(const std::string& name) {
  Count("LookUp");
  if (name.empty() || name.find('/') != std::string::npos || name == "." ||
      name == "..")
    return std::nullopt;
  Found found = Resolve(name);
  if (!found.node) return std::nullopt;
  return found.name;
}

bool MemorySystem::IsDirectory(const std::string& name) {
  Count("IsDirectory");
  Found found = Resolve(name);
  return found.node && found.node->directory;
}

// The names POSIX takes, by its own rule.
bool MemorySystem::IsPlainName(const std::string& name) const {
  return PosixSystem({}, "").IsPlainName(name);
}

std::unique_ptr<InputFile> MemorySystem::OpenInput(const std::string& path) {
  Count("OpenInput");
  Found found = Resolve(path);
  if (found.error.empty() && !found.node)
    found.error = "No such file or directory";
  if (!found.error.empty()) throw Failure(path + ": " + found.error);
  if (found.node->directory) throw Failure(path + ": is a directory");
  if (!(found.node->mode & 0400)) throw Failure(path + ": Permission denied");
  return std::make_unique<MemoryInput>(*this, found.node);
}

std::unique_ptr<OutputFile> MemorySystem::CreateNew(const std::string& name) {
  Count("CreateNew");
  Found found = Resolve(name);
  if (found.node) return nullptr;
  if (!found.error.empty()) throw Failure(name + ": " + found.error);
  if (!(found.parent->mode & 0200)) throw Failure(name + ": Permission denied");
  auto node = std::make_shared<Node>();
  node->mode = 0666 & ~umask_;
  found.parent->entries[found.name] = node;
  return std::make_unique<MemoryOutput>(*this, node);
}

void MemorySystem::ReplaceFile(const std::string& temp_name,
                               const std::string& final_name) {
  Count("ReplaceFile");
  Found temp = Resolve(temp_name);
  Found target = Resolve(final_name);
  std::string error =
      !temp.node || temp.node->directory      ? "No such file or directory"
      : !target.error.empty()                 ? target.error
      : target.node && target.node->directory ? "Is a directory"
      : !(temp.parent->mode & 0200) || !(target.parent->mode & 0200)
          ? "Permission denied"
          : "";
  if (!error.empty()) throw Failure(final_name + ": " + error);
  // The new file must not be more open than the one it replaces.
  if (target.node) temp.node->mode = target.node->mode;
  temp.parent->entries.erase(temp.name);
  target.parent->entries.erase(target.name);
  target.parent->entries[final_name.substr(final_name.rfind('/') + 1)] =
      temp.node;
}

void MemorySystem::RemoveFile(const std::string& name) noexcept {
  if (name.empty() || Injected("RemoveFile")) return;
  Found found = Resolve(name);
  if (found.node && !found.node->directory && (found.parent->mode & 0200))
    found.parent->entries.erase(found.name);
}

std::string MemorySystem::FileIdentity(const std::string& path) {
  Count("FileIdentity");
  Found found = Resolve(path);
  if (!found.node) return "";
  return std::to_string(reinterpret_cast<std::uintptr_t>(found.node.get()));
}

void MemorySystem::LimitPermissions(const std::string& name,
                                    const std::string& like_path) {
  Count("LimitPermissions");
  Found own = Resolve(name);
  Found like = Resolve(like_path);
  if (own.node && like.node) own.node->mode &= like.node->mode | ~0777u;
}

void* MemorySystem::LoadLibrary(const std::string& name) {
  Count("LoadLibrary");
  // Read from the build directory by the real system's own loader.
  PosixSystem build({}, std::string(OVALITH_LIBRARY_DIR) + "/");
  return build.LoadLibrary(name == "ovalith" ? library_ : name);
}

void* MemorySystem::FindEntryPoint(void* library, const char* name) {
  Count("FindEntryPoint");
  return ::dlsym(library, name);
}

}  // namespace ovalith::test
