#pragma once
// Guards: one string id per module chain, loaded at start-up so that a module whose strings
// are missing shows the alert at once rather than at its first message.

namespace i18n {

class ResourceBundleChain;

// Registers `id` as the guard of `chain` (a later registration for the chain replaces it).
void registerIstringGuard(ResourceBundleChain& chain, int id);

// Loads every registered guard in registration order, logging each in the group
// "IstringGuards". Called once by the application before anything else.
void checkIstringGuards();

}  // namespace i18n
