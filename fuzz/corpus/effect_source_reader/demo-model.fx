// The effect every frame draws with, first in the effect list. The scene (the backdrop, the objects'
// sprites, the point lights and particles added over them, then the debug lines) is drawn into
// SceneMap; its bright parts are gathered into the half-size GlowMap over GlowPasses passes; the
// composite puts both on the back buffer with a darkening towards the corners; texts go on top.

float Script : STANDARDSGLOBAL <
    string ScriptClass = "scene";
    string ScriptOrder = "standard";
    string Script = "Technique=Technique?Main;";
> = 0.8;

float4x4 ViewProj : VIEWPROJ;
float4x4 Proj : PROJ;
float2 ScreenSize : SCREENSIZE;
texture ObjectTexture : TEXTURE;

float4 Background = {0.0941, 0.1882, 0.3137, 1};
float4 Nothing = {0, 0, 0, 0};
float Vignette < string UIWidget = "Slider"; float4 UIParams = {0, 1, 0.05, 0}; > = 0.6;
float GlowThreshold < string UIWidget = "Slider"; > = 0.7;
int GlowPasses = 2;
int GlowStep = 0;
texture SceneMap < string Format = "A8R8G8B8"; float2 ViewPortRatio = {1, 1}; >;
texture GlowMap < string Format = "A8R8G8B8"; float2 ViewPortRatio = {0.5, 0.5}; >;

technique Main < string Script =
    "RenderColorTarget0=SceneMap; ClearSetColor=Background; Clear=Color; Clear=Depth;"
    "Pass=Sprites; Pass=Lights; Pass=Particles; Pass=Lines;"
    "RenderColorTarget0=GlowMap; ClearSetColor=Nothing; Clear=Color;"
    "LoopByCount=GlowPasses; LoopGetIndex=GlowStep; Pass=Glow; LoopEnd=;"
    "RenderColorTarget0=; Pass=Composite; Pass=Text;"; >
{
    // The backdrop, then the objects' sprites over it, many to a draw: each object's world matrix, atlas
    // frame and alpha come per instance.
    pass Sprites < string Script = "Draw=Backdrop; Draw=Objects;"; bool Instancing = true; >
    {
        ZEnable = false; AlphaBlendEnable = true; SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha;
        VertexShader = glsl {
            layout(location = IN_POSITION) in vec3 position;
            layout(location = IN_TEXCOORD0) in vec2 texCoord;
            layout(location = IN_INSTANCE_WORLD0) in vec4 world0;
            layout(location = IN_INSTANCE_WORLD1) in vec4 world1;
            layout(location = IN_INSTANCE_WORLD2) in vec4 world2;
            layout(location = IN_INSTANCE_WORLD3) in vec4 world3;
            layout(location = IN_INSTANCE_FRAME) in vec4 frame;
            layout(location = IN_INSTANCE_VELOCITY_EDGE_ALPHA) in vec4 velocityEdgeAlpha;
            layout(location = 0) out vec2 vTexCoord;
            layout(location = 1) out float vAlpha;
            void main()
            {
                gl_Position = ViewProj * (mat4(world0, world1, world2, world3) * vec4(position, 1.0));
                vTexCoord = frame.xy + texCoord * frame.zw;
                vAlpha = velocityEdgeAlpha.w;
            }
        };
        PixelShader = glsl {
            layout(location = 0) in vec2 vTexCoord;
            layout(location = 1) in float vAlpha;
            layout(location = 0) out vec4 result;
            void main()
            {
                vec4 base = texture(ObjectTexture, vTexCoord);
                result = vec4(base.rgb, base.a * vAlpha);
            }
        };
    }

    // Each light a disc around its place, brightest at the centre, added to what is there.
    pass Lights < string Script = "Draw=Lights;"; >
    {
        ZEnable = false; CullMode = None; AlphaBlendEnable = true; SrcBlend = One; DestBlend = One;
        VertexShader = glsl {
            layout(location = IN_POSITION) in vec4 disc;
            layout(location = IN_TEXCOORD1) in vec4 placeAndRadius;
            layout(location = IN_COLOR0) in vec4 diffuse;
            layout(location = 0) out vec4 vColour;
            void main()
            {
                gl_Position = ViewProj * vec4(placeAndRadius.xyz + vec3(disc.xy * placeAndRadius.w, 0.0), 1.0);
                vColour = vec4(diffuse.rgb * (1.0 - length(disc.xy)), 1.0);
            }
        };
        PixelShader = glsl {
            layout(location = 0) in vec4 vColour;
            layout(location = 0) out vec4 result;
            void main() { result = vColour; }
        };
    }

    // Particles as point sprites sized in world units; the batches set their own blending.
    pass Particles < string Script = "Draw=Particles;"; >
    {
        ZEnable = false; CullMode = None; AlphaBlendEnable = true;
        VertexShader = glsl {
            layout(location = IN_POSITION) in vec3 position;
            layout(location = IN_COLOR0) in vec4 colour;
            layout(location = IN_PSIZE) in float size;
            layout(location = 0) out vec4 vColour;
            void main()
            {
                gl_Position = ViewProj * vec4(position, 1.0);
                gl_PointSize = max(size * Proj[1][1] * ScreenSize.y / (2.0 * gl_Position.w), 1.0);
                vColour = colour;
            }
        };
        PixelShader = glsl {
            layout(location = 0) in vec4 vColour;
            layout(location = 0) out vec4 result;
            void main() { result = texture(ObjectTexture, gl_PointCoord) * vColour; }
        };
    }

    pass Lines < string Script = "Draw=Lines;"; >
    {
        ZEnable = false; CullMode = None; AlphaBlendEnable = true; SrcBlend = SrcAlpha; DestBlend = InvSrcAlpha;
        VertexShader = glsl {
            layout(location = IN_POSITION) in vec3 position;
            layout(location = IN_COLOR0) in vec4 colour;
            layout(location = 0) out vec4 vColour;
            void main()
            {
                gl_Position = ViewProj * vec4(position, 1.0);
                vColour = colour;
            }
        };
        PixelShader = glsl {
            layout(location = 0) in vec4 vColour;
            layout(location = 0) out vec4 result;
            void main() { result = vColour; }
        };
    }

    // Each step gathers the scene's bright parts a little further out, added to what is there.
    pass Glow < string Script = "Draw=Screen;"; >
    {
        ZEnable = false; CullMode = None; AlphaBlendEnable = true; SrcBlend = One; DestBlend = One;
        PixelShader = glsl {
            layout(location = 1) in vec4 texCoord;
            layout(location = 0) out vec4 result;
            void main()
            {
                vec2 reach = vec2(float(GlowStep + 1) * 2.0) / ScreenSize;
                vec3 sum = vec3(0.0);
                for (int i = 0; i < 4; ++i)
                {
                    vec2 direction = vec2(i == 0 ? 1.0 : i == 1 ? -1.0 : 0.0, i == 2 ? 1.0 : i == 3 ? -1.0 : 0.0);
                    vec3 c = texture(SceneMap, texCoord.xy + direction * reach).rgb;
                    sum += c * step(GlowThreshold, max(max(c.r, c.g), c.b));
                }
                result = vec4(sum / (4.0 * float(GlowPasses)), 1.0);
            }
        };
    }

    pass Composite < string Script = "Draw=Screen;"; >
    {
        ZEnable = false; CullMode = None; AlphaBlendEnable = false;
        PixelShader = glsl {
            layout(location = 1) in vec4 texCoord;
            layout(location = 0) out vec4 result;
            void main()
            {
                vec2 fromCentre = texCoord.xy - 0.5;
                float shade = 1.0 - Vignette * dot(fromCentre, fromCentre) * 2.0;
                vec3 scene = texture(SceneMap, texCoord.xy).rgb;
                vec3 glow = texture(GlowMap, texCoord.xy).rgb;
                result = vec4(scene * shade + glow, 1.0);
            }
        };
    }

    // Texts draw themselves in the device's own stages.
    pass Text < string Script = "Draw=Text;"; >
    {
        ZEnable = false; CullMode = None;
    }
}
