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

// Batches drawn with the plain texture or their row's two-cycle draws because neither the
// table, a derived recipe nor the texture units could draw their keys (each such key pair is
// named once in the log, with the reason).
extern uint32_t underived_batches;

// The steps a batch is drawn with for a cycle type and the two keys: the table's, the recipe
// derived from the formula for keys the table does not list, or the texture units.
const RecipeSteps& select_recipe(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1);
