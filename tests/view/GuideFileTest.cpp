#include "view/GuideFile.h"

#include <gtest/gtest.h>

namespace {

TEST(IsGuideArchiveHead, OnlyAMultipartRelatedMessageHeaderIsAGuide) {
    const struct {
        const char* head;
        bool guide;
    } cases[] = {
        {"From: <QuillorDic>\r\nMIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"x\"\r\n\r\n--x", true},
        {"MIME-Version: 1.0\nCONTENT-TYPE:\tMultipart/Related;\n\n", true},  // as a browser may save one
        {"MIME-Version: 1.0\r\nContent-Type: text/html\r\n\r\nContent-Type: multipart/related", false},
        {"<!DOCTYPE html><html><body>Content-Type: multipart/related</body></html>", false},
        {"this is no archive\r\n\x01\x02", false},
        {"", false},
    };
    for (const auto& each : cases) EXPECT_EQ(IsGuideArchiveHead(each.head), each.guide) << each.head;
}

}  // namespace
