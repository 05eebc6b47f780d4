// The effect compiler the resource conversion runs: fxc.exe /T fx_2_0 /Fo <output> <source>. Faults go to
// standard error as "file(line): error: text" with a non-zero exit, and leave no output behind.
#include "tools/fxc/EffectCompiler.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace
{

int Fail(const std::string& text)
{
    std::fprintf(stderr, "fxc.exe(0): error: %s\n", text.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string profile;
    std::string output;
    std::string source;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view argument = argv[i];
        if (argument == "/T" && i + 1 < argc)
            profile = argv[++i];
        else if (argument == "/Fo" && i + 1 < argc)
            output = argv[++i];
        else if (source.empty())
            source = argument;
        else
            return Fail("unexpected argument \"" + std::string(argument) + "\"");
    }
    if (profile != "fx_2_0" || output.empty() || source.empty())
        return Fail("usage: fxc.exe /T fx_2_0 /Fo <output> <source>");
    std::string errors;
    if (!Quarn::tools::CompileEffect(source, output, errors))
    {
        std::fputs(errors.c_str(), stderr);
        return 1;
    }
    return 0;
}
