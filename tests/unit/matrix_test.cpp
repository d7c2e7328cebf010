// Fixed-point matrix conversion, the model-view stack and the projection calls
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "dl_ucode0.h"
#include "geometry/matrix.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"

namespace {

class Matrices : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
    }
    Console& c = test_console();
};

Matrix4 filled(float v) {
    Matrix4 m;
    for (float& e : m.m)
        e = v;
    return m;
}

Matrix4 from(const uc0::Mat& src) {
    Matrix4 m;
    std::memcpy(m.m, src.m, sizeof m.m);
    return m;
}

void expect_matrix(const Matrix4& actual, const float (&expected)[16], const char* what) {
    for (int k = 0; k < 16; ++k)
        EXPECT_FLOAT_EQ(actual.m[k], expected[k]) << what << ": element " << k;
}

TEST_F(Matrices, ConvertsSixteenSixteenFixedPoint) {
    struct Case {
        int element;
        uint16_t integer, fraction;
        float expected;
    } cases[] = {
        {0, 0xFFFF, 0x8000, -0.5f},    {1, 0x0001, 0x8000, 1.5f},
        {5, 0x7FFF, 0x0000, 32767.0f}, {10, 0x8000, 0x0000, -32768.0f},
        {13, 0x0002, 0x4000, 2.25f},   {15, 0x0000, 0x0001, 1.0f / 65536},
    };
    for (const Case& k : cases) {
        reset_core_state();
        c.write_u16(0x3000 + 2 * k.element, k.integer);
        c.write_u16(0x3000 + 32 + 2 * k.element, k.fraction);
        Matrix4 m = filled(7.0f);
        load_fixed_matrix(m, 0x3000);
        for (int e = 0; e < 16; ++e)
            EXPECT_EQ(m.m[e], e == k.element ? k.expected : 0.0f)
                << "element " << e << " with element " << k.element << " = " << std::hex
                << k.integer << "." << k.fraction;
    }
}

TEST_F(Matrices, IdentityAndTheHostWordLayout) {
    uc0::write_matrix(c, 0x3000, uc0::identity());
    Matrix4 m;
    load_fixed_matrix(m, 0x3000);
    expect_matrix(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "identity");

    // Element 13 (translation y) is the low half of the words at offsets 24 and 56.
    reset_core_state();
    c.write_u32(0x3000 + 24, 0x00000003);
    c.write_u32(0x3000 + 56, 0x00008000);
    load_fixed_matrix(m, 0x3000);
    EXPECT_EQ(m.m[13], 3.5f);
    EXPECT_EQ(m.m[12], 0.0f);

    // The address is masked to the 8 MB of RDRAM: the end of memory wraps to its start.
    c.write_u32(0x7FFFFC, 0x00050000);
    load_fixed_matrix(m, 0x7FFFFC);
    EXPECT_EQ(m.m[0], 5.0f);
}

TEST_F(Matrices, PushesStopAt511AndPopsAt0) {
    ModelViewStack& s = rdp_reg.modelview;
    for (int i = 0; i < 511; ++i)
        modelview_push_load(filled(static_cast<float>(i + 1)));
    EXPECT_EQ(s.modelview_top, 511);
    EXPECT_EQ(s.entry[511].m[0], 511.0f);

    modelview_push_load(filled(-1.0f));
    modelview_push_mul(filled(-1.0f));
    EXPECT_EQ(s.modelview_top, 511) << "a push at 511 is ignored";
    EXPECT_EQ(s.entry[511].m[0], 511.0f) << "the discarded matrix changes nothing";

    for (int i = 0; i < 600; ++i)
        modelview_pop();
    EXPECT_EQ(s.modelview_top, 0);
    EXPECT_EQ(s.entry[0].m[0], 0.0f) << "entry 0 is untouched by pops";
    EXPECT_EQ(s.entry[5].m[0], 5.0f) << "popped entries keep their values";

    modelview_push_load(filled(9.0f));
    EXPECT_EQ(s.modelview_top, 1);
    EXPECT_EQ(s.entry[1].m[0], 9.0f);
    EXPECT_EQ(s.entry[0].m[0], 0.0f) << "a push copies nothing into the entry below";
}

TEST_F(Matrices, MultipliesTheNewMatrixFirst) {
    const uc0::Mat T = uc0::then(uc0::rotation_y(0.5f), uc0::translation(1, 2, 3));
    modelview_load(from(T));
    modelview_mul(from(uc0::identity()));
    expect_matrix(modelview_matrix(), T.m, "identity leaves the top");

    // A translation applied first: row 3 becomes (tx, ty, tz, 1) x T.
    modelview_mul(from(uc0::translation(10, 0, 0)));
    const Matrix4& R = modelview_matrix();
    for (int j = 0; j < 4; ++j)
        EXPECT_NEAR(R.m[12 + j], 10 * T.m[j] + T.m[12 + j], 1e-5) << "row 3 column " << j;
    for (int j = 0; j < 12; ++j)
        EXPECT_FLOAT_EQ(R.m[j], T.m[j]) << "rows 0..2 element " << j;

    // push_mul writes M x T into the new top and leaves T below it.
    const Matrix4 before = modelview_matrix();
    modelview_push_mul(from(uc0::scaling(2)));
    EXPECT_EQ(rdp_reg.modelview.modelview_top, 1);
    EXPECT_FLOAT_EQ(modelview_matrix().m[0], 2 * before.m[0]);
    EXPECT_FLOAT_EQ(modelview_matrix().m[12], before.m[12]) << "scale first: translation kept";
    EXPECT_EQ(std::memcmp(&rdp_reg.modelview.entry[0], &before, sizeof before), 0);
}

TEST_F(Matrices, ProjectionCallsLeaveTheirMatrixModes) {
    const uc0::Mat P = uc0::perspective(60, 4.0f / 3, 10, 1000);
    glMatrixMode(GL_MODELVIEW);
    gl_load_projection(from(P));
    EXPECT_EQ(gl_int(GL_MATRIX_MODE), GL_PROJECTION);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (int k = 0; k < 16; ++k)
        EXPECT_FLOAT_EQ(m[k], P.m[k]) << "loaded without transposition";

    gl_mul_projection(from(uc0::scaling(2)));
    EXPECT_EQ(gl_int(GL_MATRIX_MODE), GL_MODELVIEW);
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 2 * P.m[0]);

    glPushMatrix();
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    gl_pop_modelview();
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 0.0f) << "the pushed model-view matrix is back";
    EXPECT_EQ(gl_int(GL_MATRIX_MODE), GL_MODELVIEW);
}

} // namespace
