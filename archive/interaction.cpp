#include "archive/interaction.h"

#include <atomic>

namespace archive {
namespace {
std::atomic<TZAInteraction*> g_interaction{nullptr};
}

void registerInteraction(TZAInteraction* interaction) { g_interaction.store(interaction); }
TZAInteraction* registeredInteraction() { return g_interaction.load(); }

}  // namespace archive
