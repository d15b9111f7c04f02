// The skin elements of the controls library: RegisterControlElements adds
// every control class of skinui/controls to the skin builder's element table
// (CSkinBuilder::RegisterElement). Programs call it once at start-up, before
// their first window is created.
#pragma once

namespace SkinUI {

void RegisterControlElements();

}  // namespace SkinUI
