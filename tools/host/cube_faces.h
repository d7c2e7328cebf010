// The corners of a cube's six faces, four per face, for the demo scenes' cubes
#pragma once

// Corner k (0..3) of face f (0..5) of a cube of half-size `half` centred on the origin; the
// corners of a face wind counter-clockwise seen from outside. u and v (-1 or 1) say where the
// corner lies across the face.
struct CubeCorner {
    int position[3];
    int normal[3];
    int u, v;
};

inline CubeCorner cube_corner(int half, int f, int k) {
    // Per face: the normal, and two edge directions whose cross product is the normal.
    static const int faces[6][3][3] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    };
    static const int corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    const auto& face               = faces[f];
    CubeCorner c{};
    c.u = corners[k][0];
    c.v = corners[k][1];
    for (int a = 0; a < 3; ++a) {
        c.position[a] = half * (face[0][a] + c.u * face[1][a] + c.v * face[2][a]);
        c.normal[a]   = face[0][a];
    }
    return c;
}
