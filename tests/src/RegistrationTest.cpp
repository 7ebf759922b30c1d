// Argument and function descriptions registering with the Excel stand-in, in both modes.
#include "GatewayTest.h"
#include <vornix/XlfArgDesc.h>
#include <vornix/XlfFuncDesc.h>
#include <vornix/XlfOper.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

using vornix::XlfArgDesc;
using vornix::XlfArgDescList;
using vornix::XlfFuncDesc;

XLSTANDIN_TEST_EXPORT LPXLFOPER WINAPI RegistrationProbe(LPXLFOPER value, double) {
    return value;
}

namespace {

std::string Captured(void (*action)()) {
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

TEST(XlfArgDesc, NamesLongerThan18CharactersAreWarnedAbout) {
    EXPECT_EQ(Captured([] { XlfArgDesc("abcdefghijklmnopqr", "", "B"); }), "");
    EXPECT_EQ(Captured([] { XlfArgDesc("abcdefghijklmnopqrs", "", "B"); }),
              "..\\..\\src\\XlfArgDesc(37): Argument name \"abcdefghijklmnopqrs\" may be too long "
              "to fit the in the function wizard\n");
    EXPECT_EQ(Captured([] { XlfArgDesc().SetName("abcdefghijklmnopqrst"); }),
              "..\\..\\src\\XlfArgDesc(37): Argument name \"abcdefghijklmnopqrst\" may be too "
              "long to fit the in the function wizard\n");
}

TEST(XlfArgDesc, HelpTextsEndInPointAndBlank) {
    EXPECT_EQ(XlfArgDesc("p", " Precision ", "B").GetComment(), " Precision . ");
    EXPECT_EQ(XlfArgDesc("p", "Done. ", "B").GetComment(), "Done. ");
    EXPECT_EQ(XlfArgDesc("p", "", "B").GetComment(), ". ");
    EXPECT_EQ(XlfArgDesc("p", "x", "B").GetComment(), "x. ");
    XlfArgDesc argument;
    argument.SetComment("Twice");
    argument.SetComment(argument.GetComment());
    EXPECT_EQ(argument.GetComment(), "Twice. ");
}

template <typename Mode> class RegistrationTest : public GatewayTest<Mode> {
protected:
    void SetUp() override {
        GatewayTest<Mode>::SetUp();
        module_ = this->TestModule({{"RegistrationProbe", this->Proc(RegistrationProbe)}});
        this->Excel().SetAddInName(module_);
    }

    static XlfArgDescList ProbeArguments() {
        return {XlfArgDesc("value", " A value ", "XLF_OPER"), XlfArgDesc("count", " Count ", "B")};
    }

    static std::unique_ptr<XlfFuncDesc> Probe(int volatility = 0, bool threadSafe = false) {
        auto function = std::make_unique<XlfFuncDesc>("RegistrationProbe", "probe_Value",
                                                      " Probes ", "Tests", volatility, threadSafe,
                                                      vornix::XlfExcel::Instance().OperTypeCode());
        function->SetArguments(ProbeArguments());
        return function;
    }

    const xlstandin::Registration& Registered() const {
        const xlstandin::Registration* registration = this->Excel().FindFunction("probe_Value");
        if (registration == nullptr) {
            std::string reasons;
            for (const std::string& reason : this->Excel().RegistrationRejections())
                reasons += " " + reason;
            throw std::logic_error("probe_Value is not registered:" + reasons);
        }
        return *registration;
    }

    std::string module_;
};

TYPED_TEST_SUITE(RegistrationTest, BothModes);

TYPED_TEST(RegistrationTest, ExcelReceivesTheDescriptionThroughTheExcel4Entry) {
    this->Probe()->Register();
    const xlstandin::Registration& registration = this->Registered();
    const std::string value = this->IsExcel12 ? "Q" : "P";
    EXPECT_EQ(registration.module, this->module_);
    EXPECT_EQ(registration.procedure, "RegistrationProbe");
    EXPECT_EQ(registration.typeText, value + value + "B");
    EXPECT_EQ(registration.argumentText, "value, count");
    EXPECT_EQ(registration.macroType, 1);
    EXPECT_EQ(registration.category, "Tests");
    EXPECT_EQ(registration.shortcut, "");
    EXPECT_EQ(registration.helpTopic, "");
    EXPECT_EQ(registration.functionHelp, " Probes ");
    EXPECT_EQ(registration.argumentHelps, (std::vector<std::string>{" A value . ", " Count . "}));
    const xlstandin::CallbackCall& call = this->Excel().Calls().back();
    EXPECT_EQ(call.function, xlfRegister);
    EXPECT_EQ(call.count, 12);
    EXPECT_FALSE(call.excel12);
}

TYPED_TEST(RegistrationTest, FlagsFollowTheArgumentLetters) {
    this->Probe(1, true)->Register();
    const std::string value = this->IsExcel12 ? "Q" : "P";
    EXPECT_EQ(this->Registered().typeText, value + value + "B!" + (this->IsExcel12 ? "$" : ""));
}

// Excel 4 records cannot say "$": the author is told once, when the function is registered.
TYPED_TEST(RegistrationTest, ThreadSafeFlagDroppedInExcel4ModeIsLogged) {
    testing::internal::CaptureStderr();
    this->Probe(0, true)->Register();
    this->Probe(0, false)->Register();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              this->IsExcel12 ? ""
                              : "..\\..\\src\\XlfFuncDesc(56): Thread-safe flag of probe_Value "
                                "dropped: Excel 4 records cannot declare thread-safe functions\n");
}

TYPED_TEST(RegistrationTest, AFunctionWithoutArgumentsSendsTenValues) {
    XlfFuncDesc function("RegistrationProbe", "probe_Value", "", "Tests", 0, false, "B");
    function.Register();
    EXPECT_EQ(this->Registered().typeText, "B");
    EXPECT_EQ(this->Registered().argumentText, "");
    EXPECT_TRUE(this->Registered().argumentHelps.empty());
    EXPECT_EQ(this->Excel().Calls().back().count, 10);
}

TYPED_TEST(RegistrationTest, RefusalIsLoggedAndRegistrationGoesOn) {
    this->Excel().FailNext(xlfRegister, xlretFailed);
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(this->Probe()->Register());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "..\\..\\src\\XlfAbstractCmdDesc(62): Error 32 while registering probe_Value\n");
    EXPECT_EQ(this->Excel().FindFunction("probe_Value"), nullptr);
}

TYPED_TEST(RegistrationTest, NoModuleNameNoRegistration) {
    this->Excel().FailEvery(xlGetName, xlretFailed);
    testing::internal::CaptureStderr();
    try {
        this->Probe()->Register();
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Could not get library name");
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(this->CallCount(xlfRegister), 0);
}

// Excel counts registrations: unregistering takes back one, and learning the identifier must
// not count another, or the function would never go.
TYPED_TEST(RegistrationTest, UnregisteringTakesBackOneRegistration) {
    const auto probe = this->Probe();
    probe->Register();
    ASSERT_NE(this->Excel().FindFunction("probe_Value"), nullptr);
    probe->Unregister();
    EXPECT_EQ(this->Excel().FindFunction("probe_Value"), nullptr);
    EXPECT_EQ(this->CallCount(xlfRegister), 1);
    EXPECT_EQ(this->CallCount(xlfRegisterId), 1);
    EXPECT_EQ(this->CallCount(xlfUnregister), 1);

    probe->Register();
    probe->Register();
    probe->Unregister();
    ASSERT_NE(this->Excel().FindFunction("probe_Value"), nullptr);
    EXPECT_EQ(this->Excel().FindFunction("probe_Value")->useCount, 1);
    probe->Unregister();
    EXPECT_EQ(this->Excel().FindFunction("probe_Value"), nullptr);
}

// REGISTER.ID of a function nobody registered would register it, which needs a type text: Excel
// answers #VALUE!, and nothing is unregistered.
TYPED_TEST(RegistrationTest, UnregisteringWhatIsNotRegisteredIsLogged) {
    testing::internal::CaptureStderr();
    this->Probe()->Unregister();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "..\\..\\src\\XlfAbstractCmdDesc(78): Error 32 while registering probe_Value\n");
    EXPECT_EQ(this->CallCount(xlfUnregister), 0);
    EXPECT_TRUE(this->Excel().Registrations().empty());

    this->Excel().FailNext(xlfRegisterId, xlretInvXlfn);
    testing::internal::CaptureStderr();
    this->Probe()->Unregister();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "..\\..\\src\\XlfAbstractCmdDesc(78): Error 2 while registering probe_Value\n");
}

TYPED_TEST(RegistrationTest, TypeTagsMapToTheLettersOfTheRunningExcel) {
    EXPECT_EQ(XlfArgDesc("a", "", "B").TypeLetter(), "B");
    EXPECT_EQ(XlfArgDesc("a", "", "XLF_OPER").TypeLetter(), this->IsExcel12 ? "Q" : "P");
    EXPECT_EQ(XlfArgDesc("a", "", "XLF_XLOPER").TypeLetter(), this->IsExcel12 ? "U" : "R");
    EXPECT_EQ(XlfArgDesc("a", "", "VORNIX_WSTR").TypeLetter(), this->IsExcel12 ? "C%" : "C");
}

} // namespace
