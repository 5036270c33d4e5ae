#pragma once
// The owner of one handle of a platform service: it closes the handle, once, on every way
// out of the scope that holds it. Installer handles, registry keys, files and process
// handles each get their guard from this one template.
namespace zarvo {

template <typename Service, typename Handle, auto CloseCall>
class HandleGuard {
public:
    explicit HandleGuard(Service& service, Handle handle = Handle{})
        : service_(service), handle_(handle) {}
    ~HandleGuard() { Close(); }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;

    Handle Get() const { return handle_; }
    // Gives the handle up to a caller that closes it itself and must see the answer.
    Handle Release()
    {
        const Handle handle = handle_;
        handle_ = Handle{};
        return handle;
    }
    // Closes the handle owned so far and offers the place into which the next one is
    // written, which the guard then owns.
    Handle* Receive()
    {
        Close();
        return &handle_;
    }

private:
    // The close call's answer is not looked at: a handle that fails to close is still
    // counted as released, and never closed twice.
    void Close()
    {
        if (handle_ != Handle{}) (service_.*CloseCall)(handle_);
        handle_ = Handle{};
    }

    Service& service_;
    Handle handle_;
};

}  // namespace zarvo
