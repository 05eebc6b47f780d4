#include "QuarnMain.h"
#include "platform/core/Headless.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace
{

int Usage(const char* program)
{
    std::fprintf(stderr, "usage: %s [--log] [--headless] [--frames N]\n", program);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool logToFile = false;
    unsigned frames = 0;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view arg = argv[i];
        if (arg == "--log")
            logToFile = true;
        else if (arg == "--headless")
            Quarn::platform::SetHeadless(true);
        else if (arg == "--frames" && i + 1 < argc)
        {
            const char* text = argv[++i];
            const char* end = text + std::strlen(text);
            auto [stop, error] = std::from_chars(text, end, frames);
            if (error != std::errc() || stop != end || frames == 0)
                return Usage(argv[0]);
        }
        else
            return Usage(argv[0]);
    }
    return Quarn::Main(logToFile, frames);
}
