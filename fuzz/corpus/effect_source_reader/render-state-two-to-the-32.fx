technique T { pass P { StencilMask = 4294967296; StencilWriteMask = 4294967295; } }
