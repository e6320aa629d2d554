// Registers the skin engine's components with the layout loader.
#pragma once

namespace corvane {
void RegisterSkinComponents();
}
