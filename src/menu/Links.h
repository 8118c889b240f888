#pragma once

// The maker's pages the main menu opens in the user's web browser.
namespace Links {
constexpr const char* Website = "https://www.tessaly.org";
constexpr const char* Faq = "https://www.tessaly.org/faq";
constexpr const char* QuickStart = "https://www.tessaly.org/quick-start";
constexpr const char* SupportAddress = "support@tessaly.org";
} // namespace Links
