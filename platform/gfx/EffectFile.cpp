#include "platform/gfx/EffectFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace Quarn::platform::gfx
{

namespace
{

struct TypeFacts
{
    const char* name;
    std::size_t numbers;
    const char* glsl;
};

// In the order of EffectType.
constexpr TypeFacts kTypes[] = {
    {"bool", 1, "bool"},      {"int", 1, "int"},           {"float", 1, "float"},
    {"float2", 2, "vec2"},    {"float3", 3, "vec3"},       {"float4", 4, "vec4"},
    {"float4x4", 16, "mat4"}, {"texture", 0, "sampler2D"}, {"string", 0, nullptr},
};

const TypeFacts& Facts(EffectType type)
{
    return kTypes[static_cast<std::size_t>(type)];
}

std::optional<EffectType> TypeNamed(std::string_view name)
{
    for (std::size_t i = 0; i < std::size(kTypes); ++i)
        if (name == kTypes[i].name)
            return static_cast<EffectType>(i);
    return std::nullopt;
}

// The named values a render state takes, by the kind of value it holds.
struct NamedValue
{
    const char* name;
    std::uint32_t value;
};
constexpr NamedValue kCompares[] = {{"Never", kCompareNever},
                                    {"Less", kCompareLess},
                                    {"Equal", kCompareEqual},
                                    {"LessEqual", kCompareLessEqual},
                                    {"Greater", kCompareGreater},
                                    {"NotEqual", kCompareNotEqual},
                                    {"GreaterEqual", kCompareGreaterEqual},
                                    {"Always", kCompareAlways}};
constexpr NamedValue kFills[] = {{"Point", kFillPoint}, {"Wireframe", kFillWireframe}, {"Solid", kFillSolid}};
constexpr NamedValue kCulls[] = {{"None", kCullNone}, {"CW", kCullClockwise}, {"CCW", kCullCounterClockwise}};
constexpr NamedValue kBlends[] = {{"Zero", kBlendZero},
                                  {"One", kBlendOne},
                                  {"SrcColor", kBlendSrcColour},
                                  {"InvSrcColor", kBlendInvSrcColour},
                                  {"SrcAlpha", kBlendSrcAlpha},
                                  {"InvSrcAlpha", kBlendInvSrcAlpha},
                                  {"DestAlpha", kBlendDestAlpha},
                                  {"InvDestAlpha", kBlendInvDestAlpha},
                                  {"DestColor", kBlendDestColour},
                                  {"InvDestColor", kBlendInvDestColour},
                                  {"SrcAlphaSat", kBlendSrcAlphaSat}};
constexpr NamedValue kBlendOps[] = {{"Add", kBlendOpAdd},
                                    {"Subtract", kBlendOpSubtract},
                                    {"RevSubtract", kBlendOpRevSubtract},
                                    {"Min", kBlendOpMin},
                                    {"Max", kBlendOpMax}};
constexpr NamedValue kStencilOps[] = {{"Keep", kStencilOpKeep},       {"Zero", kStencilOpZero},
                                      {"Replace", kStencilOpReplace}, {"IncrSat", kStencilOpIncrSat},
                                      {"DecrSat", kStencilOpDecrSat}, {"Invert", kStencilOpInvert},
                                      {"Incr", kStencilOpIncr},       {"Decr", kStencilOpDecr}};

std::span<const NamedValue> NamedValuesOf(RenderState state)
{
    switch (state)
    {
    case RenderState::ZFunc:
    case RenderState::AlphaFunc:
    case RenderState::StencilFunc:
        return kCompares;
    case RenderState::FillMode:
        return kFills;
    case RenderState::CullMode:
        return kCulls;
    case RenderState::SrcBlend:
    case RenderState::DestBlend:
    case RenderState::SrcBlendAlpha:
    case RenderState::DestBlendAlpha:
        return kBlends;
    case RenderState::BlendOp:
    case RenderState::BlendOpAlpha:
        return kBlendOps;
    case RenderState::StencilFail:
    case RenderState::StencilZFail:
    case RenderState::StencilPass:
        return kStencilOps;
    default:
        return {};
    }
}

bool IsFloatState(RenderState state)
{
    return state == RenderState::DepthBias || state == RenderState::SlopeScaleDepthBias ||
           state == RenderState::PointSize;
}

enum class TokenKind : std::uint8_t
{
    End,
    Word,
    Number,
    Text,
    Symbol,
};

struct Token
{
    TokenKind kind = TokenKind::End;
    std::string_view text;
    int line = 1;
};

// Splits the file into tokens on demand; a GLSL body is taken whole by RawBlock.
class Lexer
{
public:
    explicit Lexer(std::string_view source) : m_source(source) {}

    bool Next(Token& token, EffectError& error)
    {
        if (!SkipSpace(error))
            return false;
        token.line = m_line;
        if (m_at >= m_source.size())
        {
            token = {TokenKind::End, {}, m_line};
            return true;
        }
        const char c = m_source[m_at];
        const std::size_t start = m_at;
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_')
        {
            while (m_at < m_source.size() &&
                   (std::isalnum(static_cast<unsigned char>(m_source[m_at])) || m_source[m_at] == '_'))
                ++m_at;
            token.kind = TokenKind::Word;
        }
        else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.')
        {
            ++m_at;
            while (m_at < m_source.size() &&
                   (std::isalnum(static_cast<unsigned char>(m_source[m_at])) || m_source[m_at] == '.' ||
                    ((m_source[m_at] == '-' || m_source[m_at] == '+') &&
                     (m_source[m_at - 1] == 'e' || m_source[m_at - 1] == 'E'))))
                ++m_at;
            token.kind = TokenKind::Number;
        }
        else if (c == '"')
        {
            ++m_at;
            while (m_at < m_source.size() && m_source[m_at] != '"' && m_source[m_at] != '\n')
                ++m_at;
            if (m_at >= m_source.size() || m_source[m_at] != '"')
            {
                error = {m_line, "a string is not closed on its line"};
                return false;
            }
            token.kind = TokenKind::Text;
            token.text = m_source.substr(start + 1, m_at - start - 1);
            ++m_at;
            return true;
        }
        else
        {
            ++m_at;
            token.kind = TokenKind::Symbol;
        }
        token.text = m_source.substr(start, m_at - start);
        return true;
    }

    // The text between an opening brace (the next token) and its matching closing brace.
    bool RawBlock(EffectCode& code, EffectError& error)
    {
        if (!SkipSpace(error))
            return false;
        if (m_at >= m_source.size() || m_source[m_at] != '{')
        {
            error = {m_line, "expected '{' to open GLSL code"};
            return false;
        }
        const int openLine = m_line;
        const std::size_t start = ++m_at;
        int depth = 1;
        while (m_at < m_source.size())
        {
            if (m_source.compare(m_at, 2, "//") == 0 || m_source.compare(m_at, 2, "/*") == 0)
            {
                if (!SkipComment(error))
                    return false;
                continue;
            }
            const char c = m_source[m_at++];
            if (c == '\n')
                ++m_line;
            else if (c == '{')
                ++depth;
            else if (c == '}' && --depth == 0)
            {
                code.text = std::string(m_source.substr(start, m_at - 1 - start));
                code.line = openLine;
                return true;
            }
        }
        error = {openLine, "GLSL code is not closed"};
        return false;
    }

private:
    bool SkipSpace(EffectError& error)
    {
        while (m_at < m_source.size())
        {
            const char c = m_source[m_at];
            if (c == '\n')
            {
                ++m_line;
                ++m_at;
            }
            else if (std::isspace(static_cast<unsigned char>(c)))
                ++m_at;
            else if (m_source.compare(m_at, 2, "//") == 0 || m_source.compare(m_at, 2, "/*") == 0)
            {
                if (!SkipComment(error))
                    return false;
            }
            else
                break;
        }
        return true;
    }

    bool SkipComment(EffectError& error)
    {
        if (m_source.compare(m_at, 2, "//") == 0)
        {
            while (m_at < m_source.size() && m_source[m_at] != '\n')
                ++m_at;
            return true;
        }
        const int line = m_line;
        const std::size_t end = m_source.find("*/", m_at + 2);
        if (end == std::string_view::npos)
        {
            error = {line, "a comment is not closed"};
            return false;
        }
        m_line += static_cast<int>(std::count(m_source.begin() + static_cast<std::ptrdiff_t>(m_at),
                                              m_source.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
        m_at = end + 2;
        return true;
    }

    std::string_view m_source;
    std::size_t m_at = 0;
    int m_line = 1;
};

class Parser
{
public:
    Parser(std::string_view source, EffectError& error) : m_lexer(source), m_error(error) {}

    bool File(EffectDesc& desc)
    {
        if (!Advance())
            return false;
        while (m_token.kind != TokenKind::End)
        {
            if (IsWord("technique"))
            {
                if (!Technique(desc.techniques.emplace_back()))
                    return false;
            }
            else if (IsWord("glsl"))
            {
                if (!m_lexer.RawBlock(desc.sharedCode.emplace_back(), m_error) || !Advance())
                    return false;
            }
            else if (!Parameter(desc))
                return false;
        }
        return Textures(desc);
    }

private:
    bool Fail(const std::string& text)
    {
        m_error = {m_token.line, text};
        return false;
    }
    bool Advance() { return m_lexer.Next(m_token, m_error); }
    bool IsWord(std::string_view word) const
    {
        return m_token.kind == TokenKind::Word && m_token.text == word;
    }
    bool IsSymbol(char symbol) const
    {
        return m_token.kind == TokenKind::Symbol && m_token.text.size() == 1 && m_token.text[0] == symbol;
    }
    bool Expect(char symbol)
    {
        if (!IsSymbol(symbol))
            return Fail(std::string("expected '") + symbol + "' before '" + std::string(m_token.text) + "'");
        return Advance();
    }
    bool Name(std::string& name, const char* what)
    {
        if (m_token.kind != TokenKind::Word)
            return Fail(std::string("expected ") + what);
        name = m_token.text;
        return Advance();
    }

    bool Parameter(EffectDesc& desc)
    {
        const std::optional<EffectType> type =
            m_token.kind == TokenKind::Word ? TypeNamed(m_token.text) : std::nullopt;
        if (!type)
            return Fail("unknown type or keyword '" + std::string(m_token.text) + "'");
        EffectParameter parameter;
        parameter.value.type = *type;
        if (!Advance() || !Name(parameter.name, "a parameter name"))
            return false;
        const bool taken = std::any_of(desc.parameters.begin(), desc.parameters.end(),
                                       [&](const EffectParameter& p) { return p.name == parameter.name; });
        if (taken)
            return Fail("parameter '" + parameter.name + "' is declared twice");
        if (IsSymbol(':') && (!Advance() || !Name(parameter.semantic, "a semantic")))
            return false;
        if (!Annotations(parameter.annotations))
            return false;
        if (IsSymbol('='))
        {
            if (*type == EffectType::Texture)
                return Fail("a texture takes no value");
            if (!Advance() || !Value(parameter.value))
                return false;
        }
        else
            parameter.value.numbers.assign(NumberCount(*type), 0.0f);
        desc.parameters.push_back(std::move(parameter));
        return Expect(';');
    }

    bool Annotations(EffectAnnotations& annotations)
    {
        if (!IsSymbol('<'))
            return true;
        if (!Advance())
            return false;
        while (!IsSymbol('>'))
        {
            const std::optional<EffectType> type =
                m_token.kind == TokenKind::Word ? TypeNamed(m_token.text) : std::nullopt;
            if (!type || *type == EffectType::Texture)
                return Fail("expected an annotation type before '" + std::string(m_token.text) + "'");
            EffectAnnotation annotation;
            annotation.value.type = *type;
            if (!Advance() || !Name(annotation.name, "an annotation name") || !Expect('=') ||
                !Value(annotation.value) || !Expect(';'))
                return false;
            annotations.push_back(std::move(annotation));
        }
        return Advance();
    }

    // The number of the token (true and false are 1 and 0), without moving on.
    bool NumberValue(float& number)
    {
        if (m_token.kind == TokenKind::Word && (m_token.text == "true" || m_token.text == "false"))
        {
            number = m_token.text == "true" ? 1.0f : 0.0f;
            return true;
        }
        const char* begin = m_token.text.data();
        const char* end = begin + m_token.text.size();
        if (begin != end && *begin == '+')
            ++begin;
        if (end != begin && (end[-1] == 'f' || end[-1] == 'F'))
            --end;
        const auto [at, failure] = std::from_chars(begin, end, number);
        if (m_token.kind != TokenKind::Number || failure != std::errc() || at != end)
            return Fail("expected a number, not '" + std::string(m_token.text) + "'");
        return true;
    }
    bool Number(float& number) { return NumberValue(number) && Advance(); }

    // A number written as a whole number (digits after an optional sign), read exactly: a float does
    // not hold every 32-bit value. False for any other token.
    bool Whole(std::int64_t& value) const
    {
        const char* begin = m_token.text.data();
        const char* end = begin + m_token.text.size();
        if (begin != end && *begin == '+')
            ++begin;
        const auto [at, failure] = std::from_chars(begin, end, value);
        return m_token.kind == TokenKind::Number && failure == std::errc() && at == end;
    }

    // A number of an int value: truncated, and refused unless the int range holds it.
    bool IntNumber(float& number)
    {
        std::int64_t whole = 0;
        bool fits = false;
        if (Whole(whole))
        {
            fits = whole >= std::numeric_limits<std::int32_t>::min() &&
                   whole <= std::numeric_limits<std::int32_t>::max();
            number = static_cast<float>(whole);
        }
        else
        {
            if (!NumberValue(number))
                return false;
            number = std::trunc(number);
            fits = number >= -2147483648.0f && number < 2147483648.0f;
        }
        if (!fits)
            return Fail("an int takes a whole number from -2147483648 to 2147483647, not '" +
                        std::string(m_token.text) + "'");
        return Advance();
    }

    bool Value(EffectValue& value)
    {
        const EffectType type = value.type;
        if (type == EffectType::String)
        {
            if (m_token.kind != TokenKind::Text)
                return Fail("expected a string in double quotes");
            // Strings side by side are one string, so that long scripts can run over several lines.
            while (m_token.kind == TokenKind::Text)
            {
                value.text += m_token.text;
                if (!Advance())
                    return false;
            }
            return true;
        }
        const std::size_t count = NumberCount(type);
        const auto next = [&](float& number)
        { return type == EffectType::Int ? IntNumber(number) : Number(number); };
        if (IsSymbol('{'))
        {
            if (!Advance())
                return false;
            while (!IsSymbol('}'))
            {
                if (!value.numbers.empty() && !Expect(','))
                    return false;
                if (!next(value.numbers.emplace_back()))
                    return false;
            }
            if (!Advance())
                return false;
        }
        else if (!next(value.numbers.emplace_back()))
            return false;
        if (value.numbers.size() != count)
            return Fail(std::string("a ") + EffectTypeName(type) + " takes " + std::to_string(count) +
                        " numbers, not " + std::to_string(value.numbers.size()));
        if (type == EffectType::Bool)
            for (float& number : value.numbers)
                number = number != 0.0f ? 1.0f : 0.0f;
        return true;
    }

    bool Technique(EffectTechnique& technique)
    {
        if (!Advance() || !Name(technique.name, "a technique name") || !Annotations(technique.annotations) ||
            !Expect('{'))
            return false;
        while (!IsSymbol('}'))
        {
            if (!IsWord("pass"))
                return Fail("expected 'pass' in technique '" + technique.name + "'");
            if (!Pass(technique.passes.emplace_back()))
                return false;
        }
        return Advance();
    }

    bool Pass(EffectPass& pass)
    {
        if (!Advance() || !Name(pass.name, "a pass name") || !Annotations(pass.annotations) || !Expect('{'))
            return false;
        while (!IsSymbol('}'))
        {
            std::string key;
            const int line = m_token.line;
            if (!Name(key, "a render state or a shader") || !Expect('='))
                return false;
            if (key == "VertexShader" || key == "PixelShader")
            {
                EffectCode& code = key == "VertexShader" ? pass.vertex : pass.pixel;
                if (code.Present())
                {
                    m_error = {line, key + " is set twice in pass '" + pass.name + "'"};
                    return false;
                }
                if (!IsWord("glsl"))
                    return Fail("expected 'glsl' and the shader's code");
                if (!m_lexer.RawBlock(code, m_error) || !Advance())
                    return false;
            }
            else if (!State(key, pass))
                return false;
            if (!Expect(';'))
                return false;
        }
        return Advance();
    }

    bool State(const std::string& key, EffectPass& pass)
    {
        std::optional<RenderState> state;
        for (std::size_t i = 0; i < kRenderStateCount && !state; ++i)
            if (SameLetters(key, RenderStateName(static_cast<RenderState>(i))))
                state = static_cast<RenderState>(i);
        if (!state)
            return Fail("unknown render state '" + key + "'");
        std::uint32_t value = 0;
        const std::span<const NamedValue> names = NamedValuesOf(*state);
        const auto named =
            std::find_if(names.begin(), names.end(),
                         [&](const NamedValue& n) { return SameLetters(m_token.text, n.name); });
        if (m_token.kind == TokenKind::Word && named != names.end())
        {
            value = named->value;
            if (!Advance())
                return false;
        }
        else if (IsFloatState(*state))
        {
            float number = 0.0f;
            if (!Number(number))
                return false;
            value = FloatBits(number);
        }
        else
        {
            std::int64_t whole = 0;
            if (!Whole(whole))
            {
                float number = 0.0f;
                if (!NumberValue(number))
                    return false;
                whole = number >= 0.0f && number == std::trunc(number) && number < 4294967296.0f
                            ? static_cast<std::int64_t>(number)
                            : -1;
            }
            if (whole < 0 || whole > std::numeric_limits<std::uint32_t>::max())
                return Fail("render state '" + key + "' takes a whole number from 0 to 4294967295, not '" +
                            std::string(m_token.text) + "'");
            value = static_cast<std::uint32_t>(whole);
            if (!Advance())
                return false;
        }
        pass.states.push_back({*state, value});
        return true;
    }

    bool Textures(const EffectDesc& desc)
    {
        const auto textures =
            std::count_if(desc.parameters.begin(), desc.parameters.end(),
                          [](const EffectParameter& p) { return p.value.type == EffectType::Texture; });
        if (textures > static_cast<std::ptrdiff_t>(kSamplerCount))
        {
            m_error = {1, "an effect has at most " + std::to_string(kSamplerCount) + " textures"};
            return false;
        }
        return true;
    }

    Lexer m_lexer;
    EffectError& m_error;
    Token m_token;
};

constexpr std::string_view kCompiledHeader = "QFXO 1\n";

} // namespace

bool SameLetters(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) {
                          return std::tolower(static_cast<unsigned char>(x)) ==
                                 std::tolower(static_cast<unsigned char>(y));
                      });
}

std::size_t NumberCount(EffectType type)
{
    return Facts(type).numbers;
}

const char* EffectTypeName(EffectType type)
{
    return Facts(type).name;
}

std::int32_t IntFromNumber(float number)
{
    if (std::isnan(number))
        return 0;
    if (number <= -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    if (number >= 2147483648.0f)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(number);
}

const EffectAnnotation* FindAnnotation(const EffectAnnotations& annotations, std::string_view name)
{
    const auto found = std::find_if(annotations.begin(), annotations.end(),
                                    [&](const EffectAnnotation& a) { return a.name == name; });
    return found == annotations.end() ? nullptr : &*found;
}

bool ParseEffect(std::string_view source, EffectDesc& desc, EffectError& error)
{
    desc = {};
    return Parser(source, error).File(desc);
}

std::string StageSource(const EffectDesc& desc, const EffectCode& body, ShaderStage stage)
{
    std::string source = "#version 450 core\n";
    if (stage == ShaderStage::Vertex)
    {
        static constexpr struct
        {
            const char* name;
            DeclUsage usage;
            std::uint8_t count;
        } kInputs[] = {{"POSITION", DeclUsage::Position, 1},
                       {"COLOR", DeclUsage::Colour, 2},
                       {"TEXCOORD", DeclUsage::TexCoord, kTexCoordLocations},
                       {"NORMAL", DeclUsage::Normal, 1},
                       {"PSIZE", DeclUsage::PointSize, 1},
                       {"TANGENT", DeclUsage::Tangent, 1},
                       {"BINORMAL", DeclUsage::Binormal, 1},
                       {"BLENDWEIGHT", DeclUsage::BlendWeight, 1}};
        for (const auto& input : kInputs)
            for (std::uint8_t index = 0; index < input.count; ++index)
                source += "#define IN_" + std::string(input.name) +
                          (input.count > 1 ? std::to_string(index) : "") + " " +
                          std::to_string(AttributeLocation(input.usage, index)) + "\n";
        // The per-instance inputs of instanced object drawing: an object's world matrix by rows (so
        // mat4(row0, ..., row3) * v is World * v), its atlas frame and its velocity, edge lighting and
        // alpha.
        source +=
            "#define IN_INSTANCE_WORLD0 IN_TEXCOORD4\n#define IN_INSTANCE_WORLD1 IN_TEXCOORD5\n"
            "#define IN_INSTANCE_WORLD2 IN_TEXCOORD6\n#define IN_INSTANCE_WORLD3 IN_TEXCOORD7\n"
            "#define IN_INSTANCE_FRAME IN_TANGENT\n#define IN_INSTANCE_VELOCITY_EDGE_ALPHA IN_BINORMAL\n";
        source += "out gl_PerVertex { vec4 gl_Position; float gl_PointSize; };\n";
    }
    int sampler = 0;
    for (const EffectParameter& parameter : desc.parameters)
    {
        const char* glsl = Facts(parameter.value.type).glsl;
        if (!glsl)
            continue;
        if (parameter.value.type == EffectType::Texture)
            source += "layout(binding = " + std::to_string(sampler++) + ") ";
        source += "uniform " + std::string(glsl) + " " + parameter.name + ";\n";
    }
    for (const EffectCode& code : desc.sharedCode)
        source += "#line " + std::to_string(code.line) + "\n" + code.text + "\n";
    source += "#line " + std::to_string(body.line) + "\n" + body.text + "\n";
    return source;
}

std::string CompiledEffect(std::string_view source)
{
    return std::string(kCompiledHeader) + std::string(source);
}

bool ReadCompiledEffect(std::string_view bytes, EffectDesc& desc, EffectError& error)
{
    if (!bytes.starts_with(kCompiledHeader))
    {
        error = {0, "not a compiled effect"};
        return false;
    }
    return ParseEffect(bytes.substr(kCompiledHeader.size()), desc, error);
}

} // namespace Quarn::platform::gfx
