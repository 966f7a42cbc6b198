// The controls' tests build their containers without the skin builder, so
// they install the stock scroll bars as the builder does.

#include <gtest/gtest.h>

#include "ui/controls/ScrollBarUI.h"

namespace {

class StockControlsEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { ui::CScrollBarUI::InstallFactory(); }
};

::testing::Environment* const kStockControls =
    ::testing::AddGlobalTestEnvironment(new StockControlsEnvironment);

} // namespace
