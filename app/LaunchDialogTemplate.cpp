#include "app/LaunchDialogTemplate.h"

#include "ProductInfo.h"
#include "platform/Window.h"

namespace {
using namespace platform;

constexpr uint32_t kChild = kWsChild | kWsVisible;

constexpr DialogItemTemplate kItems[] = {
    {1004, u"static", u"", kChild | kSsWhiteFrame, 0, 149, 110, 19, 18},
    {1006, u"static", KESTROP_PRODUCT_NAME, kChild | kSsLeft | kWsGroup, 0, 172, 114, 41, 15},
    {1005, u"static", u"", kChild | kSsGrayFrame, 0, 7, 71, 349, 13},
    {1007, u"button", u"精简模式", kChild | kBsAutoCheckBox | kWsTabStop, 0, 15, 127, 43, 10},
    {1008, u"static", u"正在启动中，请稍候", kChild | kSsLeft | kWsGroup, 0, 142, 33, 79, 15},
};
}  // namespace

constexpr platform::DialogTemplate kLaunchDialogTemplate{
    102,
    u"正在检测更新",
    kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont | kDsFixedSys,
    kWsExToolWindow | kWsExAppWindow | kWsExNoActivate,
    0,
    0,
    363,
    151,
    u"MS Shell Dlg",
    9,
    0,
    false,
    1,
    kItems,
};

namespace {
const platform::DialogTemplate kDialogs[] = {kLaunchDialogTemplate};
const platform::ResourceModule kModule(kDialogs, {});
}  // namespace
