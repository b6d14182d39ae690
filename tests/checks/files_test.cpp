#include <gtest/gtest.h>

#include "checks/checks.h"

namespace orvex::test {
namespace {

}  // namespace
}  // namespace orvex::test
