#include "tools/soundbuilder/ProjectBuilder.h"

#include "Resources/XMLTextCheck.h"
#include "platform/io/AtomicWrite.h"
#include "platform/io/ReadableFile.h"
#include "platform/sound/SoundBuffer.h"

#include <tinyxml.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>

namespace Quarn::tools
{

namespace
{

// "file(line): error: text"; a line of 0 (not known, or given in the text) is left out.
std::string Located(const std::filesystem::path& file, int line, const std::string& text)
{
    return file.string() + (line > 0 ? "(" + std::to_string(line) + ")" : "") + ": error: " + text;
}

bool IsNumber(const char* text)
{
    float value = 0.0f;
    const char* end = text + std::strlen(text);
    const auto [at, failure] = std::from_chars(text, end, value);
    return failure == std::errc() && at == end && std::isfinite(value);
}

// The whole file; 0 or an errno value.
int ReadText(const std::filesystem::path& path, std::string& text)
{
    platform::ReadableFile file;
    if (const int error = file.Open(path.string(), 1))
        return error;
    text.resize(file.Size());
    std::size_t bytes = 0;
    const int error = file.ReadAll(text.data(), text.size(), bytes);
    text.resize(bytes);
    return error;
}

} // namespace

std::filesystem::path BuiltProjectPath(const std::filesystem::path& source)
{
    // The forms that report through an error code: a path the system cannot take leaves the source as it is.
    std::error_code failure;
    const std::filesystem::path sourceRoot =
        std::filesystem::absolute("../Resources", failure).lexically_normal();
    std::filesystem::path built = source;
    const auto relative =
        std::filesystem::absolute(source, failure).lexically_normal().lexically_relative(sourceRoot);
    if (!relative.empty() && *relative.begin() != "..")
        built = std::filesystem::path("./Resources") / relative;
    return built.replace_extension(".fev");
}

bool BuildProject(const std::filesystem::path& source, const std::filesystem::path& target,
                  const std::filesystem::path& mediaFolder, std::string& error)
{
    std::string text;
    if (const int failure = ReadText(source, text))
    {
        error = Located(source, 0, std::strerror(failure));
        return false;
    }
    // Through the engine's checks of XML text, so that no document can take the library's recursion
    // past the stack.
    TiXmlDocument document;
    if (const std::string refusal = ParseCheckedXML(std::move(text), document); !refusal.empty())
    {
        error = Located(source, 0, refusal);
        return false;
    }
    if (document.Error())
    {
        error = Located(source, document.ErrorRow(), document.ErrorDesc());
        return false;
    }
    const TiXmlElement* project = document.RootElement();
    if (!project || std::strcmp(project->Value(), "project") != 0)
    {
        error = Located(source, project ? project->Row() : 1, "the root element must be <project>");
        return false;
    }
    std::ostringstream built;
    built << "QFEV 1\n";
    std::vector<std::filesystem::path> media;
    for (const TiXmlElement* item = project->FirstChildElement(); item; item = item->NextSiblingElement())
    {
        const std::string kind = item->Value();
        const char* name = item->Attribute("name");
        const char* file = item->Attribute("file");
        const char* volume = item->Attribute("volume") ? item->Attribute("volume") : "1";
        const char* loop = item->Attribute("loop") ? item->Attribute("loop") : "0";
        if (kind != "event" && kind != "cue")
        {
            error = Located(source, item->Row(), "unknown element <" + kind + ">");
            return false;
        }
        if (!name || !*name || !file || !*file || !IsNumber(volume) ||
            (std::strcmp(loop, "0") != 0 && std::strcmp(loop, "1") != 0) || std::strpbrk(name, "\t\n") ||
            std::strpbrk(file, "\t\n"))
        {
            error = Located(source, item->Row(),
                            "<" + kind + "> needs a name and a file, a numeric volume and a loop of 0 or 1");
            return false;
        }
        const std::filesystem::path sound = source.parent_path() / file;
        platform::sound::SoundBuffer decoded;
        const platform::sound::SoundResult result = platform::sound::DecodeSoundFile(sound.string(), decoded);
        if (result != platform::sound::SoundResult::Ok)
        {
            error = Located(source, item->Row(),
                            "sound file '" + sound.string() + "': " + platform::sound::ErrorString(result));
            return false;
        }
        media.push_back(sound);
        const std::string mediaName = std::filesystem::path(file).filename().string();
        built << kind << ' ' << name << '\t' << mediaName << '\t' << volume;
        if (kind == "event")
            built << '\t' << loop;
        built << '\n';
    }
    std::error_code failure;
    std::filesystem::create_directories(mediaFolder, failure);
    for (const std::filesystem::path& sound : media)
    {
        std::filesystem::copy_file(sound, mediaFolder / sound.filename(),
                                   std::filesystem::copy_options::overwrite_existing, failure);
        if (failure)
        {
            error = Located(source, 0, "cannot copy '" + sound.string() + "': " + failure.message());
            return false;
        }
    }
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), failure);
    if (!platform::WriteFileAtomically(target, built.str(), error))
    {
        error = Located(target, 0, error);
        return false;
    }
    return true;
}

} // namespace Quarn::tools
