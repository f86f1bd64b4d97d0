// The main window's description: its size and every control with its place, size and text,
// as laid out at 96 DPI. Texts are UTF-8 here; the window converts them into the code page.
#pragma once

#include <cstdint>

namespace sw {

enum class ControlKind { kEdit, kPushButton, kCheckBox, kLabel, kProgressBar, kSmallButton };

// Control identifiers: the report box, 按钮1..5, 选择框1..6, 标签1..2, 多功能条1..2,
// 超级按钮1..2.
enum ControlId : int {
  kReportBox = 100,
  kButtonFirst = 101,    // 按钮1 (Browse) .. 105 (Stop)
  kCheckBoxFirst = 111,  // 选择框1 (version) .. 116 (upper case)
  kLabelFirst = 121,
  kBarFirst = 131,  // 多功能条1 (file) .. 132 (overall)
  kAboutButton = 141,
  kUpdateButton = 142,
};

struct ControlSpec {
  const char* name;
  ControlKind kind;
  int id;
  int x, y, width, height;  // client-area pixels at 96 DPI
  const char* text;         // UTF-8
};

inline constexpr int kWindowWidth = 500;  // outer size, frame and title bar included
inline constexpr int kWindowHeight = 335;
inline constexpr int kReportFontHeight = 12;  // pixels at 96 DPI, for the report box and the
                                              // two small buttons

inline constexpr ControlSpec kControls[] = {
    {"编辑框1", ControlKind::kEdit, kReportBox, 8, 8, 478, 208, ""},
    {"按钮1", ControlKind::kPushButton, kButtonFirst + 0, 8, 224, 70, 22, "浏览(&L)..."},
    {"按钮2", ControlKind::kPushButton, kButtonFirst + 1, 85, 224, 70, 22, "清除(&D)"},
    {"按钮3", ControlKind::kPushButton, kButtonFirst + 2, 162, 224, 70, 22, "复制(&F)"},
    {"按钮4", ControlKind::kPushButton, kButtonFirst + 3, 239, 224, 70, 22, "保存(&B)"},
    {"按钮5", ControlKind::kPushButton, kButtonFirst + 4, 316, 224, 70, 22, "停止(&T)"},
    {"选择框1", ControlKind::kCheckBox, kCheckBoxFirst + 0, 393, 224, 50, 16, "版本"},
    {"选择框2", ControlKind::kCheckBox, kCheckBoxFirst + 1, 393, 240, 50, 16, "时间"},
    {"选择框3", ControlKind::kCheckBox, kCheckBoxFirst + 2, 393, 256, 50, 16, "MD5"},
    {"选择框4", ControlKind::kCheckBox, kCheckBoxFirst + 3, 393, 272, 50, 16, "SHA1"},
    {"选择框5", ControlKind::kCheckBox, kCheckBoxFirst + 4, 393, 288, 50, 16, "CRC32"},
    {"选择框6", ControlKind::kCheckBox, kCheckBoxFirst + 5, 448, 224, 50, 16, "大写"},
    {"标签1", ControlKind::kLabel, kLabelFirst + 0, 15, 256, 40, 16, "进度："},
    {"多功能条1", ControlKind::kProgressBar, kBarFirst + 0, 56, 256, 328, 16, ""},
    {"标签2", ControlKind::kLabel, kLabelFirst + 1, 15, 280, 40, 16, "完成："},
    {"多功能条2", ControlKind::kProgressBar, kBarFirst + 1, 56, 280, 328, 16, ""},
    {"超级按钮1", ControlKind::kSmallButton, kAboutButton, 455, 265, 30, 16, "关于"},
    {"超级按钮2", ControlKind::kSmallButton, kUpdateButton, 455, 285, 30, 16, "更新"},
};

}  // namespace sw
