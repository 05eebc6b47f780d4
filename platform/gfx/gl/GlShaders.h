#pragma once

namespace Quarn::platform::gfx
{

// The device's own stages, used where no shader of the program's is set. The vertex stage takes
// pre-transformed vertices (pixel positions whose centres lie on whole numbers) to the viewport; the
// pixel stage gives the vertex colour, modulated by sampler 0's texture when one is set, and keeps the
// alpha test.
extern const char* const kPreTransformedVertexStage;
extern const char* const kVertexColourPixelStage;

} // namespace Quarn::platform::gfx
