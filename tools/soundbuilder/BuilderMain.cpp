// The sound project builder the resource conversion runs: fmod_designercl.exe -pc <project.fdp>. It
// builds the project into the working root's place of the source (see BuiltProjectPath) and copies
// its media into the working root's Audio folder; errors go to standard error with a non-zero exit.
#include "tools/soundbuilder/ProjectBuilder.h"

#include <cstdio>
#include <string>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc != 3 || std::string_view(argv[1]) != "-pc")
    {
        std::fprintf(stderr, "fmod_designercl.exe(0): error: usage: fmod_designercl.exe -pc <project.fdp>\n");
        return 1;
    }
    const std::filesystem::path source = argv[2];
    std::string error;
    if (!Quarn::tools::BuildProject(source, Quarn::tools::BuiltProjectPath(source), "./Resources/Audio",
                                    error))
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
