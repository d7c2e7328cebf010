// The texture cache: OpenGL textures of tile 0, found by a hash of their texels
#pragma once

// Binds the texture for tile 0 and the current texel transform; 0 when refused.
int bind_texture();
