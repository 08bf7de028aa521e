// A fixture that starts with fresh seams and checks, after the test, that every stream object and
// file handle that the test made is gone again.
#pragma once

#include <gtest/gtest.h>

#include "platform/PlatformSeams.h"

class LeakCheckedTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::Reset();
        objects = seams::LiveObjects();
        handles = seams::OpenHandles();
    }
    void TearDown() override {
        seams::Reset();
        EXPECT_EQ(seams::LiveObjects(), objects) << "a stream object was left allocated";
        EXPECT_EQ(seams::OpenHandles(), handles) << "a file was left open";
    }

    // What was alive when the test began.
    long objects = 0;
    long handles = 0;
};
