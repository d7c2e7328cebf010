// The combiner recipe table: which draws a batch gets for the combiner keys in force
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

struct RecipeRow {
    uint32_t mux_key0;
    RecipeSteps one_cycle;
    RecipeSteps two_cycle; // two-cycle with a mux_key1 that has no pair of its own
};

struct RecipePair {
    uint32_t mux_key0;
    uint32_t mux_key1;
    RecipeSteps two_cycle;
};

// The table's notation, so that the data reads like the table.
namespace recipe {
constexpr RecipeAction m(uint32_t mode) { return {RecipeOp::set_mode, mode, 0, 0}; }
constexpr RecipeAction cP   = {RecipeOp::set_color, color_prim, 0, 0};
constexpr RecipeAction cE   = {RecipeOp::set_color, color_env, 0, 0};
constexpr RecipeAction cPxE = {RecipeOp::set_color, color_prim_xor_env, 0, 0};
constexpr RecipeAction D(uint32_t passes, uint32_t recipe1, uint32_t recipe2) {
    return {RecipeOp::draw, passes, recipe1, recipe2};
}
} // namespace recipe

extern const RecipeRow* const recipe_rows;
extern const int recipe_row_count;
extern const RecipePair* const recipe_pairs;
extern const int recipe_pair_count;

const RecipeRow* find_recipe_row(uint32_t mux_key0);                      // null when unknown
const RecipePair* find_recipe_pair(uint32_t mux_key0, uint32_t mux_key1); // null when unlisted

// Batches drawn with the plain texture because their key is not in the table and its formula
// cannot be expressed (each such key is named once in the log).
extern uint32_t underived_batches;

// The steps a batch is drawn with for a cycle type and the two keys; a key the table does
// not list gets the recipe derived from its formula.
const RecipeSteps& select_recipe(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1);
