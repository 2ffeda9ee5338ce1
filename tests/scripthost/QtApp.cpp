// The application object of the script host tests (offscreen platform), alive from
// before the first test to after the last.
#include <gtest/gtest.h>

#include <QApplication>

#include <memory>

namespace {

class TQtEnvironment : public testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[17] = "scripthost_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const environment = testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace
