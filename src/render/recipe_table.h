// The combiner recipe table: which draws a batch gets for the combiner keys in force
#pragma once
#include <cstdint>

#include "render/recipe.h"

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
