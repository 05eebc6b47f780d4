// The effect compiler the resource conversion runs: fxc.exe /T fx_2_0 /Fo <output> <source>. It writes
// the compiled effect the effect resource loads. The compiled form is the effect file's text; reading
// and checking the effect's parts comes with the effect layer. Errors go to standard error as
// "file(line): error: text" with a non-zero exit, and leave no output behind.
#include "platform/io/AtomicWrite.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace
{

int Fail(const std::string& file, const std::string& text)
{
    std::fprintf(stderr, "%s(0): error: %s\n", file.c_str(), text.c_str());
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
            return Fail("fxc.exe", "unexpected argument \"" + std::string(argument) + "\"");
    }
    if (profile != "fx_2_0" || output.empty() || source.empty())
        return Fail("fxc.exe", "usage: fxc.exe /T fx_2_0 /Fo <output> <source>");
    std::ifstream in(source, std::ios::binary);
    if (!in)
        return Fail(source, "cannot open the effect file");
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    if (!Quarn::platform::WriteFileAtomically(output, text.str(), error))
        return Fail(output, error);
    return 0;
}
