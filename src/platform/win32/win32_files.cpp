#include "platform/win32/win32_files.h"

#include <windows.h>

#include <utility>

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

// A write that the system answers with success but no byte written makes no progress: it
// fails as a write fault, so that the caller has an error to name.
bool WriteWhole(HANDLE file, const void* data, DWORD size)
{
    const auto* next = static_cast<const BYTE*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, next, size, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        next += written;
        size -= written;
    }
    return true;
}

// The error of a whole write on this thread: 0 when it was written.
DWORD WriteError(HANDLE file, const void* data, DWORD size)
{
    return WriteWhole(file, data, size) ? ERROR_SUCCESS : GetLastError();
}

// A thread needs little stack: it only calls WriteFile or FlushFileBuffers.
constexpr SIZE_T kThreadStack = 64 * 1024;
// What the writes leave in the system's cache is sent on to the disk each time this much more
// has been written, on a thread beside the writes: the flush that ends the file then finds
// little left to do, rather than the whole file at once.
constexpr DWORD kFlushEvery = 4 << 20;

// A thread that does its job each time it is woken, until it is ended. The job runs on its
// own: whoever wakes it learns of the job's end in the job's own way.
class JobThread {
public:
    using Job = void (*)(void* context);
    JobThread() = default;
    ~JobThread() { End(); }
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    // Starts the thread; false where it cannot be had.
    bool Start(Job job, void* context)
    {
        job_ = job;
        context_ = context;
        wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (wake_ != nullptr)
            thread_ = CreateThread(nullptr, kThreadStack, &Run, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        return thread_ != nullptr;
    }
    // Has the job done once more; wakings while it runs are one more time at the most.
    void Wake()
    {
        if (thread_ != nullptr) SetEvent(wake_);
    }
    // Lets the job under way end, then the thread.
    void End()
    {
        if (thread_ != nullptr) {
            ending_ = true;
            SetEvent(wake_);
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        if (wake_ != nullptr) CloseHandle(wake_);
        wake_ = nullptr;
    }

private:
    static DWORD WINAPI Run(void* thread)
    {
        auto* self = static_cast<JobThread*>(thread);
        for (;;) {
            WaitForSingleObject(self->wake_, INFINITE);
            if (self->ending_) return 0;
            self->job_(self->context_);
        }
    }

    Job job_ = nullptr;
    void* context_ = nullptr;
    bool ending_ = false;
    HANDLE wake_ = nullptr;
    HANDLE thread_ = nullptr;
};

// One thread for the file's writes, started with the first: a file written in one piece
// costs no thread. An event hands each write's end back. A second thread flushes as the
// writes go on; what it does not manage, the flush that ends the file does.
class ThreadWriter final : public BackgroundWriter {
public:
    explicit ThreadWriter(HANDLE file) : file_(file) {}
    ~ThreadWriter() override
    {
        Wait();
        writer_.End();
        flusher_.End();
        if (ended_ != nullptr) CloseHandle(ended_);
    }
    ThreadWriter(const ThreadWriter&) = delete;
    ThreadWriter& operator=(const ThreadWriter&) = delete;

    void Begin(const void* data, std::uint32_t size) override
    {
        data_ = data;
        size_ = size;
        if (Started()) {
            underWay_ = true;
            writer_.Wake();
        } else {
            error_ = WriteError(file_, data_, size_);
        }
    }

    std::uint32_t Wait() override
    {
        if (underWay_) WaitForSingleObject(ended_, INFINITE);
        underWay_ = false;
        return std::exchange(error_, ERROR_SUCCESS);
    }

private:
    // Whether the writing thread runs, starting it, and the flushing one, the first time.
    bool Started()
    {
        if (!tried_) {
            tried_ = true;
            ended_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
            started_ = ended_ != nullptr && writer_.Start(&Write, this);
            if (started_) flusher_.Start(&Flush, this);
        }
        return started_;
    }

    static void Write(void* writer)
    {
        auto* self = static_cast<ThreadWriter*>(writer);
        self->error_ = WriteError(self->file_, self->data_, self->size_);
        self->unflushed_ += self->size_;
        if (self->unflushed_ >= kFlushEvery) {
            self->unflushed_ = 0;
            self->flusher_.Wake();
        }
        SetEvent(self->ended_);
    }

    // Its answer is not needed: the flush that ends the file answers for every byte.
    static void Flush(void* writer) { FlushFileBuffers(static_cast<ThreadWriter*>(writer)->file_); }

    HANDLE file_;
    const void* data_ = nullptr;  // what the thread writes next
    DWORD size_ = 0;
    DWORD unflushed_ = 0;  // written since the flushing thread was last woken
    DWORD error_ = ERROR_SUCCESS;  // of the last write; set by the thread while one is under way
    bool underWay_ = false;
    bool tried_ = false;
    bool started_ = false;
    HANDLE ended_ = nullptr;  // the write handed to the thread done
    JobThread writer_;
    JobThread flusher_;
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

std::uint32_t Win32Files::GetLastError()
{
    return ::GetLastError();
}

}  // namespace zarvo::win32
