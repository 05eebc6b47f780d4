// The texture converter the resource conversion runs: texconv.exe -f DXT1|DXT3|DXT5 -nologo -o <folder>
// <image>. It writes <folder>/<image name>.dds; faults go to standard error as "Error: text" with a
// non-zero exit, and leave no output behind.
#include "tools/texconv/TextureConverter.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace
{

int Fail(const std::string& text)
{
    std::fprintf(stderr, "Error: %s\n", text.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    namespace gfx = Quarn::platform::gfx;
    std::string format;
    std::string folder;
    std::string source;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view argument = argv[i];
        if (argument == "-f" && i + 1 < argc)
            format = argv[++i];
        else if (argument == "-o" && i + 1 < argc)
            folder = argv[++i];
        else if (argument == "-nologo")
            continue;
        else if (source.empty())
            source = argument;
        else
            return Fail("unexpected argument \"" + std::string(argument) + "\"");
    }
    const gfx::Format chosen = format == "DXT1"   ? gfx::Format::Dxt1
                               : format == "DXT3" ? gfx::Format::Dxt3
                               : format == "DXT5" ? gfx::Format::Dxt5
                                                  : gfx::Format::Unknown;
    if (chosen == gfx::Format::Unknown || folder.empty() || source.empty())
        return Fail("usage: texconv.exe -f DXT1|DXT3|DXT5 -nologo -o <folder> <image>");
    std::string error;
    if (!Quarn::tools::ConvertTexture(source, folder, chosen, error))
        return Fail(error);
    return 0;
}
