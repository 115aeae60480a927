#include "platform/SerialMode.h"

#include <gtest/gtest.h>

using platform::FlowControl;
using platform::LineSettings;
using platform::Parity;
using platform::parseMode;
using platform::SignalLevel;
using platform::StopBits;

namespace {

LineSettings settings(int baud, Parity parity, int data, StopBits stop,
                      FlowControl flow = FlowControl::None) {
    LineSettings expected;
    expected.baudRate = baud;
    expected.parity = parity;
    expected.dataBits = data;
    expected.stopBits = stop;
    expected.flowControl = flow;
    return expected;
}

LineSettings accepted(std::string_view text) {
    const auto parsed = parseMode(text);
    EXPECT_TRUE(parsed.ok()) << text << ": " << parsed.reason();
    return parsed.ok() ? parsed.settings() : LineSettings{};
}

} // namespace

TEST(SerialMode, PositionalFormWithAllFields) {
    EXPECT_EQ(accepted("9600,n,8,1"), settings(9600, Parity::None, 8, StopBits::One));
    EXPECT_EQ(accepted("19200,E,7,2"), settings(19200, Parity::Even, 7, StopBits::Two));
    EXPECT_EQ(accepted("1200,o,6,1"), settings(1200, Parity::Odd, 6, StopBits::One));
    EXPECT_EQ(accepted("300,m,5,1.5"), settings(300, Parity::Mark, 5, StopBits::OneAndHalf));
    EXPECT_EQ(accepted("115200,s,8,1"), settings(115200, Parity::Space, 8, StopBits::One));
    EXPECT_EQ(accepted(" 9600 , n , 8 , 1 "), settings(9600, Parity::None, 8, StopBits::One));
}

TEST(SerialMode, FlowControlLetter) {
    EXPECT_EQ(accepted("9600,n,8,1,x"),
              settings(9600, Parity::None, 8, StopBits::One, FlowControl::Software));
    EXPECT_EQ(accepted("9600,n,8,1,P"),
              settings(9600, Parity::None, 8, StopBits::One, FlowControl::Hardware));
}

TEST(SerialMode, OmittedFieldsTakeTheCommandDefaults) {
    EXPECT_EQ(accepted("9600"), settings(9600, Parity::Even, 7, StopBits::One));
    EXPECT_EQ(accepted("4800,n"), settings(4800, Parity::None, 7, StopBits::One));
    EXPECT_EQ(accepted("110,n,8"), settings(110, Parity::None, 8, StopBits::Two));
}

TEST(SerialMode, TwoDigitRatesAreAbbreviations) {
    EXPECT_EQ(accepted("96,n,8,1").baudRate, 9600);
    EXPECT_EQ(accepted("19,n,8,1").baudRate, 19200);
    EXPECT_EQ(accepted("11,n,8,2").baudRate, 110);
    EXPECT_EQ(accepted("57,n,8,1").baudRate, 57);
}

TEST(SerialMode, DevicePrefixIsIgnored) {
    EXPECT_EQ(accepted("COM2: 9600,n,8,1"), settings(9600, Parity::None, 8, StopBits::One));
    EXPECT_EQ(accepted("com1:baud=2400 parity=n data=8 stop=1"),
              settings(2400, Parity::None, 8, StopBits::One));
}

TEST(SerialMode, KeywordForm) {
    EXPECT_EQ(accepted("baud=9600 parity=n data=8 stop=1"),
              settings(9600, Parity::None, 8, StopBits::One));
    EXPECT_EQ(accepted("BAUD=96 Parity=O"), settings(9600, Parity::Odd, 7, StopBits::One));
    EXPECT_EQ(accepted("baud=9600 parity=n data=8 stop=1 xon=on").flowControl,
              FlowControl::Software);
    EXPECT_EQ(accepted("baud=9600 octs=on").flowControl, FlowControl::Hardware);
    EXPECT_EQ(accepted("baud=9600 rts=hs").flowControl, FlowControl::Hardware);
    const auto signalled = accepted("baud=9600 dtr=off rts=on to=on odsr=off idsr=off");
    EXPECT_EQ(signalled.dataTerminalReady, SignalLevel::Off);
    EXPECT_EQ(signalled.requestToSend, SignalLevel::On);
    EXPECT_EQ(signalled.flowControl, FlowControl::None);
}

TEST(SerialMode, RefusesMalformedStringsWithAReason) {
    for (const char* text : {"",
                             "   ",
                             "COM1:",
                             "n,8,1",
                             "9600,n,8,1,x,1",
                             "9600,,8,1",
                             "9600,n,8,",
                             "0,n,8,1",
                             "-9600,n,8,1",
                             "96OO,n,8,1",
                             "4000001,n,8,1",
                             "99999999999999999999,n,8,1",
                             "9600,q,8,1",
                             "9600,none,8,1",
                             "9600,n,9,1",
                             "9600,n,4,1",
                             "9600,n,8,3",
                             "9600,n,8,1.0",
                             "9600,n,8,1,z",
                             "9600,n,8,1.5",
                             "9600,n,5,2",
                             "baud=",
                             "baud=9600 parity",
                             "=9600",
                             "parity=n data=8",
                             "baud=9600 baud=4800",
                             "baud=9600 speed=1",
                             "baud=9600 xon=yes",
                             "baud=9600 dtr=hs",
                             "baud=9600 rts=tg",
                             "baud=9600 xon=on octs=on",
                             "9600;n;8;1",
                             "9600,n,8,1\n2"}) {
        const auto parsed = parseMode(text);
        EXPECT_FALSE(parsed.ok()) << "accepted \"" << text << "\"";
        EXPECT_FALSE(parsed.reason().empty()) << text;
    }
}

TEST(SerialMode, ReasonNamesTheBadField) {
    EXPECT_NE(parseMode("9600,x,8,1").reason().find("parity"), std::string::npos);
    EXPECT_NE(parseMode("9600,n,9,1").reason().find("data bits"), std::string::npos);
    EXPECT_NE(parseMode("baud=9600 speed=1").reason().find("speed"), std::string::npos);
}
