#include "tools/fxc/EffectCompiler.h"

#include "platform/gfx/EffectFile.h"
#include "platform/io/AtomicWrite.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>

#include <fstream>
#include <sstream>

namespace Quarn::tools
{

namespace gfx = platform::gfx;

namespace
{

std::string Fault(const std::string& file, int line, const std::string& text)
{
    return file + "(" + std::to_string(line) + "): error: " + text + "\n";
}

// glslang's messages ("ERROR: 0:12: 'x' : undeclared identifier") as effect-file faults; the line
// directives of the stage source make the numbers lines of the effect file.
std::string Faults(const std::string& file, const std::string& log, int fallbackLine)
{
    std::string faults;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
    {
        if (!line.starts_with("ERROR: "))
            continue;
        std::string text = line.substr(7);
        int number = fallbackLine;
        const std::size_t colon = text.find(':');
        const std::size_t second = colon == std::string::npos ? colon : text.find(':', colon + 1);
        if (second != std::string::npos)
        {
            try
            {
                number = std::stoi(text.substr(colon + 1, second - colon - 1));
                text = text.substr(second + 1);
                if (text.starts_with(" "))
                    text.erase(0, 1);
            }
            catch (const std::exception&)
            {
            }
        }
        else if (text.find("compilation errors") != std::string::npos)
            continue;
        faults += Fault(file, number, text);
    }
    return faults.empty() ? Fault(file, fallbackLine, "the shader does not compile") : faults;
}

// glslang keeps process-wide tables: set up once for the tool's life.
struct GlslangProcess
{
    GlslangProcess() { glslang::InitializeProcess(); }
    ~GlslangProcess() { glslang::FinalizeProcess(); }
};

bool CheckStage(const std::string& file, const gfx::EffectDesc& desc, const gfx::EffectCode& code,
                gfx::ShaderStage stage, std::string& errors)
{
    static GlslangProcess process;
    const EShLanguage language = stage == gfx::ShaderStage::Vertex ? EShLangVertex : EShLangFragment;
    glslang::TShader shader(language);
    const std::string source = gfx::StageSource(desc, code, stage);
    const char* text = source.c_str();
    shader.setStrings(&text, 1);
    // No client set: plain GLSL as an OpenGL driver compiles it, not the SPIR-V dialect.
    if (shader.parse(GetDefaultResources(), 450, ECoreProfile, false, false, EShMsgDefault))
        return true;
    errors += Faults(file, shader.getInfoLog(), code.line);
    return false;
}

} // namespace

bool CheckEffect(std::string_view text, const std::string& file, std::string& errors)
{
    gfx::EffectDesc desc;
    gfx::EffectError error;
    if (!gfx::ParseEffect(text, desc, error))
    {
        errors = Fault(file, error.line, error.text);
        return false;
    }
    errors.clear();
    for (const gfx::EffectTechnique& technique : desc.techniques)
        for (const gfx::EffectPass& pass : technique.passes)
        {
            if (pass.vertex.Present())
                CheckStage(file, desc, pass.vertex, gfx::ShaderStage::Vertex, errors);
            if (pass.pixel.Present())
                CheckStage(file, desc, pass.pixel, gfx::ShaderStage::Pixel, errors);
        }
    return errors.empty();
}

bool CompileEffect(const std::filesystem::path& source, const std::filesystem::path& output,
                   std::string& errors)
{
    const std::string file = source.string();
    // Whatever happens, an old output must not outlive a failed compile.
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    std::ifstream in(source, std::ios::binary);
    if (!in)
    {
        errors = Fault(file, 0, "cannot open the effect file");
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!CheckEffect(text.str(), file, errors))
        return false;
    std::string written;
    if (output.has_parent_path())
        std::filesystem::create_directories(output.parent_path(), ignored);
    if (!platform::WriteFileAtomically(output.string(), gfx::CompiledEffect(text.str()), written))
    {
        errors = Fault(output.string(), 0, written);
        return false;
    }
    return true;
}

} // namespace Quarn::tools
