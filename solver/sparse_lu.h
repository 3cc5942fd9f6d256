// Eigen's sparse LU, included without the C++ library's streams.
//
// One failure message in Eigen 3.4's SparseLU::factorize is formatted with a
// std::ostringstream. That single use links the whole stream and locale
// machinery (time, money and wide-character facets) into every program that
// solves a beam: 0.8 MB of the 1.7 MB Windows velmora-batch. Here the name
// means a small text type with the same two operations, for Eigen's headers
// only; the factorisation itself is Eigen's, unchanged. Include this instead
// of <Eigen/SparseLU>.
#pragma once

#include <Eigen/Dense>
#include <Eigen/SparseCore>
#include <sstream>
#include <string>
#include <type_traits>

namespace solver::detail {

// What Eigen's message needs: `text << index` and `text.str()`.
class ErrorText {
public:
    template <typename Integer>
    ErrorText& operator<<(Integer n) {
        text_ += std::to_string(n);
        return *this;
    }
    const std::string& str() const { return text_; }

private:
    std::string text_;
};

}  // namespace solver::detail

// std::enable_if_t<true, T> is T: "std::ostringstream" inside Eigen's header
// names the type above, and nothing is declared in namespace std.
#define ostringstream enable_if_t<true, ::solver::detail::ErrorText>
#include <Eigen/SparseLU>
#undef ostringstream
