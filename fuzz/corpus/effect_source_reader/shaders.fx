float4 Tint = {1, 1, 1, 1};
int Steps = 2;
texture Picture;
glsl { vec4 Shade(vec4 c) { return c * float(Steps); } }
technique Main < string Script = "Pass=P0;"; >
{
    pass P0
    {
        ZEnable = false; CullMode = None; StencilRef = +1e3;
        VertexShader = glsl {
            layout(location = IN_POSITION) in vec3 position;
            void main() { gl_Position = vec4(position, 1.0); }
        };
        PixelShader = glsl {
            layout(location = 0) out vec4 colour;
            void main() { colour = Shade(Tint) * texture(Picture, vec2(0.5)); }
        };
    }
}
