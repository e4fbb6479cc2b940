// An element name resolved for a test, which fails when the name does not resolve.
#pragma once

#include "link/ElementRef.h"

#include <gtest/gtest.h>

#include <string>

inline tagElementRef Ref(const std::string& name, bool octal = true, uint16_t code = 0) {
    auto ref = g_ResolveElement(name, code, octal);
    EXPECT_TRUE(ref.has_value()) << name;
    return ref.value_or(tagElementRef{});
}
