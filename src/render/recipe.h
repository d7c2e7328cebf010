// Recipe steps: the draws and texture settings a batch is drawn with, and the notation the
// recipe table and the recipes derived from a formula write them in
#pragma once
#include <cstdint>

enum class RecipeOp : uint8_t {
    end,       // no more actions
    set_mode,  // m=X: texture_mode = a
    set_color, // c=: texture_color = the colour named by a (a RecipeColor)
    draw,      // D(p,r1,r2): draw_batch(indices, a, b, c)
};

// The constant colours a c= action bakes into the texture.
enum RecipeColor : uint32_t { color_prim, color_env, color_prim_xor_env };

struct RecipeAction {
    RecipeOp op;
    uint32_t a, b, c;
};

// The longest list in the table has five actions; shorter lists end with RecipeOp::end.
constexpr int kMaxRecipeActions = 5;

struct RecipeSteps {
    RecipeAction actions[kMaxRecipeActions];
};

// The notation of the recipe table, so that its data reads like the table.
namespace recipe {
constexpr RecipeAction m(uint32_t mode) { return {RecipeOp::set_mode, mode, 0, 0}; }
constexpr RecipeAction cP   = {RecipeOp::set_color, color_prim, 0, 0};
constexpr RecipeAction cE   = {RecipeOp::set_color, color_env, 0, 0};
constexpr RecipeAction cPxE = {RecipeOp::set_color, color_prim_xor_env, 0, 0};
constexpr RecipeAction D(uint32_t passes, uint32_t recipe1, uint32_t recipe2) {
    return {RecipeOp::draw, passes, recipe1, recipe2};
}
} // namespace recipe
