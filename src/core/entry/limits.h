#pragma once

/// The largest game the fields take: Start bounds them to these, the spin steps stop there.
namespace Limit {
constexpr int hours = 24;
constexpr int minutes = 59;
constexpr int seconds = 59;
} // namespace Limit
