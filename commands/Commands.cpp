// Placeholder translation unit until the commands land.
namespace {
[[maybe_unused]] constexpr int kPlaceholder = 0;
}
