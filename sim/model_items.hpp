// Which items a simulated model has at all: an HX310 has no WIDTH and no CSF-ADJ.
#pragma once

#include "model/catalogue.hpp"

namespace rovant::sim {

constexpr bool ModelHasItem(ItemIndex item, ModelCode model) {
  if (model != ModelCode::kHx310) return true;
  const Condition condition = kCatalogue[item].condition;
  return condition != Condition::kWidthModel && condition != Condition::kModelIsNotHx310;
}

static_assert(!ModelHasItem(17, ModelCode::kHx310) && !ModelHasItem(40, ModelCode::kHx310) &&
              !ModelHasItem(67, ModelCode::kHx310) && ModelHasItem(17, ModelCode::kHx320));

}  // namespace rovant::sim
