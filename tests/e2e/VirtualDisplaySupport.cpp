#include "e2e/VirtualDisplaySupport.h"

#include "platform/process/ProcessRunner.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace Quarn::test
{

namespace
{

constexpr int kStartTimeoutMs = 30000;

// Reads what the server writes on the descriptor once it accepts connections: its display number.
std::string ReadDisplayNumber(int fd)
{
    std::string number;
    pollfd wait{fd, POLLIN, 0};
    while (poll(&wait, 1, kStartTimeoutMs) == 1)
    {
        char c = 0;
        if (read(fd, &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    return number;
}

} // namespace

VirtualDisplay::VirtualDisplay(const std::filesystem::path& logFile)
{
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return;
    ChildProcess::Options options;
    options.outputFile = logFile;
    options.inheritedFd = ready[1];
    m_server = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0",
                                 "1024x768x24", "-nolisten", "tcp", "-noreset"},
        options);
    close(ready[1]);
    const std::string number = ReadDisplayNumber(ready[0]);
    close(ready[0]);
    if (!number.empty())
        m_name = ":" + number;
}

bool VirtualDisplay::CloseWindow(unsigned long window) const
{
    Display* display = XOpenDisplay(m_name.c_str());
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent != 0;
}

VirtualDisplay::Picture VirtualDisplay::Capture(unsigned long window) const
{
    Picture picture;
    Display* display = XOpenDisplay(m_name.c_str());
    if (!display)
        return picture;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) && attributes.width > 0 && attributes.height > 0)
    {
        if (XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                                      static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap))
        {
            picture.width = static_cast<unsigned>(attributes.width);
            picture.height = static_cast<unsigned>(attributes.height);
            for (int y = 0; y < attributes.height; ++y)
                for (int x = 0; x < attributes.width; ++x)
                    picture.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
            XDestroyImage(image);
        }
    }
    XCloseDisplay(display);
    return picture;
}

std::optional<std::string> VirtualDisplay::ClipboardText() const
{
    Display* display = XOpenDisplay(m_name.c_str());
    if (!display)
        return std::nullopt;
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom property = XInternAtom(display, "QUARN_TEST_CLIPBOARD", False);
    const Window requestor = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(display, clipboard, utf8, property, requestor, CurrentTime);
    XFlush(display);
    std::optional<std::string> text;
    bool answered = false;
    // The owner answers from its event loop, once a frame for the game.
    for (int attempt = 0; attempt < 200 && !answered; ++attempt)
    {
        while (!answered && XPending(display) > 0)
        {
            XEvent event{};
            XNextEvent(display, &event);
            if (event.type != SelectionNotify || event.xselection.requestor != requestor)
                continue;
            answered = true;
            if (event.xselection.property == None)
                break;
            Atom type = None;
            int format = 0;
            unsigned long count = 0;
            unsigned long left = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, requestor, property, 0, 1 << 20, True, AnyPropertyType, &type,
                                   &format, &count, &left, &data) == Success &&
                data && format == 8)
                text = std::string(reinterpret_cast<const char*>(data), count);
            if (data)
                XFree(data);
        }
        if (!answered)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    XDestroyWindow(display, requestor);
    XCloseDisplay(display);
    return text;
}

std::optional<std::string> XDoTool(const std::string& display, std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"env", "DISPLAY=" + display, "xdotool"});
    std::string output;
    platform::ProcessRequest request;
    request.arguments = std::move(arguments);
    request.idleTimeout = std::chrono::seconds(60);
    request.onOutput = [&output](std::string_view chunk) { output += chunk; };
    if (!platform::RunProcess(request).Succeeded())
        return std::nullopt;
    return output;
}

} // namespace Quarn::test
