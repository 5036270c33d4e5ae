#include "platform/win32/win32_files.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace zarvo::win32 {
namespace {

// CreateFileW answers INVALID_HANDLE_VALUE for no file; the library's no-file is 0.
bool Opened(HANDLE handle, FileHandle* file)
{
    if (handle == INVALID_HANDLE_VALUE) return false;
    *file = reinterpret_cast<FileHandle>(handle);
    return true;
}

bool WriteWhole(HANDLE file, const void* data, DWORD size)
{
    const auto* next = static_cast<const BYTE*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, next, size, &written, nullptr) || written == 0) return false;
        next += written;
        size -= written;
    }
    return true;
}

// The thread needs little stack: it only calls WriteFile.
constexpr SIZE_T kWriteThreadStack = 64 * 1024;

// One thread for the file's writes, started with the first: a file written in one piece
// costs no thread. Events hand each write to it and its end back.
class ThreadWriter final : public BackgroundWriter {
public:
    explicit ThreadWriter(HANDLE file) : file_(file) {}
    ~ThreadWriter() override
    {
        Wait();
        if (thread_ != nullptr) {
            data_ = nullptr;
            SetEvent(begun_);
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        for (const HANDLE event : {begun_, ended_})
            if (event != nullptr) CloseHandle(event);
    }
    ThreadWriter(const ThreadWriter&) = delete;
    ThreadWriter& operator=(const ThreadWriter&) = delete;

    void Begin(const void* data, std::uint32_t size) override
    {
        data_ = data;
        size_ = size;
        if (Started()) {
            underWay_ = true;
            SetEvent(begun_);
        } else {
            written_ = WriteWhole(file_, data_, size_);
        }
    }

    bool Wait() override
    {
        if (underWay_) WaitForSingleObject(ended_, INFINITE);
        underWay_ = false;
        const bool written = written_;
        written_ = true;
        return written;
    }

private:
    // Whether the thread runs, starting it the first time.
    bool Started()
    {
        if (thread_ == nullptr && !failedToStart_) {
            begun_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
            ended_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
            if (begun_ != nullptr && ended_ != nullptr)
                thread_ = CreateThread(nullptr, kWriteThreadStack, &Run, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
            failedToStart_ = thread_ == nullptr;
        }
        return thread_ != nullptr;
    }

    // Writes each piece handed to it until handed none.
    static DWORD WINAPI Run(void* writer)
    {
        auto* self = static_cast<ThreadWriter*>(writer);
        for (;;) {
            WaitForSingleObject(self->begun_, INFINITE);
            if (self->data_ == nullptr) return 0;
            self->written_ = WriteWhole(self->file_, self->data_, self->size_);
            SetEvent(self->ended_);
        }
    }

    HANDLE file_;
    const void* data_ = nullptr;  // what the thread writes next; none to end it
    DWORD size_ = 0;
    bool written_ = true;  // set by the thread while a write is under way
    bool underWay_ = false;
    bool failedToStart_ = false;
    HANDLE thread_ = nullptr;
    HANDLE begun_ = nullptr;  // a write, or the end, handed to the thread
    HANDLE ended_ = nullptr;  // the write handed to it done
};

}  // namespace

bool Win32Files::OpenForRead(const char16_t* path, FileHandle* file)
{
    return Opened(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr),
                  file);
}

bool Win32Files::CreateNew(const char16_t* path, FileHandle* file)
{
    return Opened(CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr),
                  file);
}

bool Win32Files::Read(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* read)
{
    DWORD count = 0;
    const BOOL done = ReadFile(Native(file), buffer, size, &count, nullptr);
    *read = count;
    return done != FALSE;
}

bool Win32Files::Write(FileHandle file, const void* data, std::uint32_t size)
{
    return WriteWhole(Native(file), data, size);
}

std::unique_ptr<BackgroundWriter> Win32Files::WriteInBackground(FileHandle file)
{
    return std::make_unique<ThreadWriter>(Native(file));
}

bool Win32Files::Flush(FileHandle file)
{
    return FlushFileBuffers(Native(file)) != FALSE;
}

bool Win32Files::Close(FileHandle file)
{
    return ::CloseHandle(Native(file)) != FALSE;
}

bool Win32Files::Move(const char16_t* from, const char16_t* to, std::uint32_t flags)
{
    return MoveFileExW(Wide(from), Wide(to), flags) != FALSE;
}

bool Win32Files::Delete(const char16_t* path)
{
    return DeleteFileW(Wide(path)) != FALSE;
}

std::uint32_t Win32Files::GetAttributes(const char16_t* path)
{
    return GetFileAttributesW(Wide(path));
}

bool Win32Files::SetAttributes(const char16_t* path, std::uint32_t attributes)
{
    return SetFileAttributesW(Wide(path), attributes) != FALSE;
}

std::uint32_t Win32Files::VersionInfoSize(const char16_t* path)
{
    DWORD unused = 0;
    return GetFileVersionInfoSizeW(Wide(path), &unused);
}

bool Win32Files::VersionInfo(const char16_t* path, std::uint32_t size, void* block)
{
    return GetFileVersionInfoW(Wide(path), 0, size, block) != FALSE;
}

bool Win32Files::QueryFixedVersion(const void* block, FixedFileVersion* version)
{
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block, L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    *version = {fixed->dwFileVersionMS, fixed->dwFileVersionLS};
    return true;
}

}  // namespace zarvo::win32
