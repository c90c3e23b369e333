#include "platform/win32/win32_files.h"

#include <algorithm>
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"

namespace ovalith::win32 {

namespace {

// Largest single ReadFile / WriteFile request.
const std::size_t kMaxTransfer = 1 << 24;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
};

class Win32InputFile : public InputFile {
 public:
  Win32InputFile(HANDLE handle, std::string path)
      : handle_(handle), path_(std::move(path)) {}

  std::size_t Read(std::uint8_t* buf, std::size_t n) override {
    std::size_t done = 0;
    while (done < n) {
      DWORD want = static_cast<DWORD>(std::min(n - done, kMaxTransfer));
      DWORD got = 0;
      if (!ReadFile(handle_.get(), buf + done, want, &got, nullptr))
        throw Failure(LastErrorText(path_));
      if (got == 0) break;
      done += got;
    }
    return done;
  }

  std::uint64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_.get(), &size))
      throw Failure(LastErrorText(path_));
    return static_cast<std::uint64_t>(size.QuadPart);
  }

 private:
  Handle handle_;
  std::string path_;
};

class Win32OutputFile : public OutputFile {
 public:
  Win32OutputFile(HANDLE handle, std::string path)
      : handle_(handle), path_(std::move(path)) {
    buffer_.reserve(kBufferSize);
  }

  void Write(const std::uint8_t* data, std::size_t n) override {
    if (buffer_.size() + n > kBufferSize) Flush();
    if (n >= kBufferSize) {
      WriteAll(data, n);
      return;
    }
    buffer_.insert(buffer_.end(), data, data + n);
  }

  void Close() override {
    Flush();
    if (!FlushFileBuffers(handle_.get())) throw Failure(LastErrorText(path_));
    if (delete_pending_ && !SetDeleteOnClose(handle_.get(), false))
      throw Failure(LastErrorText(path_));
    delete_pending_ = false;
    if (!handle_.Close()) throw Failure(LastErrorText(path_));
  }

  // Until it is complete the file goes with its handle, however the
  // process ends (killed, the console closed, a crash).
  void DeleteUnlessClosed() {
    delete_pending_ = SetDeleteOnClose(handle_.get(), true);
  }

 private:
  static const std::size_t kBufferSize = 1 << 16;

  void Flush() {
    WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

  void WriteAll(const std::uint8_t* data, std::size_t n) {
    while (n > 0) {
      DWORD want = static_cast<DWORD>(std::min(n, kMaxTransfer));
      DWORD written = 0;
      if (!WriteFile(handle_.get(), data, want, &written, nullptr) ||
          written == 0)
        throw Failure(LastErrorText(path_));
      data += written;
      n -= written;
    }
  }

  static bool SetDeleteOnClose(HANDLE handle, bool on) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = on ? TRUE : FALSE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
  }

  Handle handle_;
  std::string path_;
  std::vector<std::uint8_t> buffer_;
  bool delete_pending_ = false;
};

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const std::string& path) {
  HANDLE handle =
      CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw Failure(LastErrorText(path));
  return std::make_unique<Win32InputFile>(handle, path);
}

std::unique_ptr<OutputFile> CreateNewFile(const std::string& path) {
  HANDLE handle =
      CreateFileW(Widen(path).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
      return nullptr;
    throw Failure(path + ": " + SystemErrorText(error));
  }
  auto file = std::make_unique<Win32OutputFile>(handle, path);
  file->DeleteUnlessClosed();
  return file;
}

}  // namespace ovalith::win32
