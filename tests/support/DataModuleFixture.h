#pragma once

#include "TempDatabase.h"
#include "shell/UDm.h"

#include <gtest/gtest.h>
#include <memory>

// A test with a fresh database and the data module loaded on it as FDM.
class DataModuleFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        db_ = std::make_unique<TempDatabase>();
        FDM = new TFDM();
    }
    void TearDown() override
    {
        delete FDM;
        FDM = nullptr;
        db_.reset();
    }
    TempDatabase& db() { return *db_; }

private:
    std::unique_ptr<TempDatabase> db_;
};
