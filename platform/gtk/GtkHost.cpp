// A dialog template as a GTK 3 window: a fixed layout of labels, frames and check boxes at the
// template's positions converted with the dialog font's metrics. The dialog paints through
// cairo during the window's draw signal, before the controls draw themselves, as a Windows
// dialog paints before its child windows.
#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Codepage.h"
#include "platform/gtk/Gdi.h"
#include "platform/gtk/Hosts.h"

namespace platform::gtk {
namespace {

std::string Utf8(const CString& text) {
    return WideToUtf8(text.View());
}

// Colours of the frame statics, as the Windows defaults draw them.
constexpr COLORREF kGrayFrame = 0x00A0A0A0;
constexpr COLORREF kWhiteFrame = 0x00FFFFFF;

void SetSourceColour(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                         ((c >> 16) & 0xFF) / 255.0);
}

template <class T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const {
        if (p)
            Free(p);
    }
};
void UnrefObject(void* p) {
    g_object_unref(p);
}
using PixbufPtr = std::unique_ptr<GdkPixbuf, Deleter<void, UnrefObject>>;
using SurfacePtr =
    std::unique_ptr<cairo_surface_t, Deleter<cairo_surface_t, cairo_surface_destroy>>;
using FontDescPtr = std::unique_ptr<PangoFontDescription,
                                    Deleter<PangoFontDescription, pango_font_description_free>>;
using AttrListPtr = std::unique_ptr<PangoAttrList, Deleter<PangoAttrList, pango_attr_list_unref>>;

PixbufPtr PixbufOf(const IconImage& image) {
    PixbufPtr pixbuf(gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, image.width, image.height));
    if (!pixbuf)
        return pixbuf;
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf.get());
    const int stride = gdk_pixbuf_get_rowstride(pixbuf.get());
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t argb = image.argb[y * image.width + x];
            guchar* p = pixels + y * stride + x * 4;
            p[0] = static_cast<guchar>(argb >> 16);
            p[1] = static_cast<guchar>(argb >> 8);
            p[2] = static_cast<guchar>(argb);
            p[3] = static_cast<guchar>(argb >> 24);
        }
    }
    return pixbuf;
}

SurfacePtr SurfaceOf(const IconImage& image) {
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height));
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < image.width; ++x) {
            const uint32_t argb = image.argb[y * image.width + x];
            const uint32_t a = argb >> 24;
            auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (pre((argb >> 16) & 0xFF) << 16) | (pre((argb >> 8) & 0xFF) << 8) |
                     pre(argb & 0xFF);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

FontDescPtr FontOf(const CString& face, int pixelHeight, int points) {
    FontDescPtr desc(pango_font_description_new());
    pango_font_description_set_family(desc.get(), Utf8(face).c_str());
    if (pixelHeight != 0) {
        pango_font_description_set_absolute_size(
            desc.get(), (pixelHeight < 0 ? -pixelHeight : pixelHeight) * PANGO_SCALE);
    } else {
        pango_font_description_set_size(desc.get(), points * PANGO_SCALE);
    }
    return desc;
}

void ApplyFont(GtkWidget* label, const PangoFontDescription* desc) {
    if (!GTK_IS_LABEL(label))
        return;
    AttrListPtr attrs(pango_attr_list_new());
    pango_attr_list_insert(attrs.get(), pango_attr_font_desc_new(desc));
    gtk_label_set_attributes(GTK_LABEL(label), attrs.get());
}

class GtkDialogHost;

// Draws into the cairo context of the draw signal that is running, clipped to one window.
class CairoSurface final : public DrawSurface {
public:
    CairoSurface(GtkDialogHost& host, cairo_t* cr, const CRect& bounds, bool paint);
    ~CairoSurface() override;
    HDC GetHdc() const override { return reinterpret_cast<HDC>(const_cast<CairoSurface*>(this)); }
    void FillSolidRect(const CRect& rect, COLORREF colour) override;
    bool DrawIcon(int x, int y, HICON icon) override;
    CRect Bounds() const { return m_bounds; }

private:
    GtkDialogHost& m_host;
    cairo_t* m_cr;
    CRect m_bounds;
};

class GtkDialogHost final : public DialogHost {
public:
    GtkDialogHost(CDialogEx& dialog, const DialogTemplate& layout)
        : m_dialog(dialog), m_layout(layout) {}
    ~GtkDialogHost() override;

    bool Create();
    intptr_t Run();

    HWND GetHwnd(int id) const override { return reinterpret_cast<HWND>(Widget(id)); }
    bool HasControl(int id) const override { return id == 0 || Find(id) != nullptr; }
    void SetWindowText(int id, const CString& text) override;
    CString GetWindowText(int id) const override;
    CRect GetClientRect(int id) const override;
    CRect GetWindowRect(int id) const override;
    void SetFont(int id, HFONT font, bool redraw) override;
    void Invalidate(int id, bool erase) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    HICON SetIcon(HICON icon, bool big) override;
    bool IsIconic() const override;
    bool SetTimer(uintptr_t timerId, UINT elapseMs) override;
    bool KillTimer(uintptr_t timerId) override;
    int MessageBox(const CString& text, const CString& caption, UINT type) override;
    void EndDialog(int result) override;
    intptr_t SendMessage(int id, UINT message, uintptr_t wParam, intptr_t lParam) override;
    std::unique_ptr<DrawSurface> BeginPaint() override;
    std::unique_ptr<DrawSurface> GetDC(int id) override;

    cairo_surface_t* IconSurface(const IconImage& image);
    // The brush the dialog chooses for window id (0: the dialog) with the given kind.
    bool CtlColour(int id, UINT type, cairo_t* cr, const CRect& bounds, COLORREF& colour);

private:
    enum class Kind { Label, Frame, Check };
    struct Control {
        GtkDialogHost* host;
        const DialogItemTemplate* item;
        Kind kind;
        GtkWidget* widget;
        CRect rect;  // client coordinates of the dialog
        CString text;
        COLORREF frame = 0;
    };
    struct TimerSlot {
        GtkDialogHost* host;
        uintptr_t id;
        guint source;
        gint64 period;  // microseconds
        gint64 due;     // monotonic time of the next tick
    };

    const Control* Find(int id) const;
    Control* Find(int id);
    GtkWidget* Widget(int id) const;
    void Dispatch(const Message& m) { m_dialog.HandleMessage(m); }

    static gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean OnControlDraw(GtkWidget*, cairo_t* cr, gpointer control);
    static gboolean OnFrameDraw(GtkWidget*, cairo_t* cr, gpointer control);
    static void OnToggled(GtkToggleButton*, gpointer control);
    static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean OnTimer(gpointer slot);
    void Command(int id);

    CDialogEx& m_dialog;
    const DialogTemplate& m_layout;
    BaseUnits m_units;
    CRect m_client;
    GtkWidget* m_window = nullptr;
    GtkWidget* m_fixed = nullptr;
    std::vector<std::unique_ptr<Control>> m_controls;
    CString m_title;
    cairo_t* m_paintCr = nullptr;  // set while the window's draw signal runs
    std::map<uintptr_t, std::unique_ptr<TimerSlot>> m_timers;
    std::map<const IconImage*, SurfacePtr> m_iconSurfaces;
    HICON m_icons[2] = {nullptr, nullptr};
    bool m_bSettingCheck = false;
    bool m_bEnded = false;
    int m_nResult = 0;
    GMainLoop* m_loop = nullptr;
};

// ---- Surfaces -----------------------------------------------------------------------------

CairoSurface::CairoSurface(GtkDialogHost& host, cairo_t* cr, const CRect& bounds, bool paint)
    : m_host(host), m_cr(cr), m_bounds(bounds) {
    cairo_save(m_cr);
    cairo_rectangle(m_cr, bounds.left, bounds.top, bounds.Width(), bounds.Height());
    cairo_clip(m_cr);
    cairo_translate(m_cr, bounds.left, bounds.top);
    if (paint) {
        // BeginPaint erases the background with the brush the dialog gives for itself.
        COLORREF colour;
        if (m_host.CtlColour(0, kCtlColorDlg, cr, CRect(0, 0, bounds.Width(), bounds.Height()),
                             colour)) {
            FillSolidRect(CRect(0, 0, bounds.Width(), bounds.Height()), colour);
        }
    }
}

CairoSurface::~CairoSurface() {
    cairo_restore(m_cr);
}

void CairoSurface::FillSolidRect(const CRect& rect, COLORREF colour) {
    SetSourceColour(m_cr, colour);
    cairo_rectangle(m_cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(m_cr);
}

bool CairoSurface::DrawIcon(int x, int y, HICON icon) {
    const IconResource* resource = IconOf(icon);
    if (!resource)
        return false;
    const int size = GetSystemMetrics(kSmCxIcon);
    const IconImage* image = resource->Pick(size);
    if (!image)
        return false;
    cairo_save(m_cr);
    cairo_translate(m_cr, x, y);
    if (image->width != size)
        cairo_scale(m_cr, double(size) / image->width, double(size) / image->height);
    cairo_set_source_surface(m_cr, m_host.IconSurface(*image), 0, 0);
    cairo_paint(m_cr);
    cairo_restore(m_cr);
    return true;
}

// A context on nothing: GTK draws only inside a draw signal, so drawing outside one asks for
// a repaint instead (the dialog paints everything again from its paint handler).
class DeferredSurface final : public DrawSurface {
public:
    explicit DeferredSurface(GtkWidget* widget) : m_widget(widget) {}
    HDC GetHdc() const override { return nullptr; }
    void FillSolidRect(const CRect&, COLORREF) override { Redraw(); }
    bool DrawIcon(int, int, HICON icon) override {
        Redraw();
        return icon != nullptr;
    }

private:
    void Redraw() {
        if (m_widget)
            gtk_widget_queue_draw(m_widget);
    }
    GtkWidget* m_widget;
};

// ---- The window ---------------------------------------------------------------------------

GtkDialogHost::~GtkDialogHost() {
    for (auto& [id, slot] : m_timers)
        g_source_remove(slot->source);
    m_timers.clear();
    if (m_window) {
        gtk_widget_destroy(m_window);
        g_object_unref(m_window);
    }
    if (m_loop)
        g_main_loop_unref(m_loop);
}

const GtkDialogHost::Control* GtkDialogHost::Find(int id) const {
    for (const auto& c : m_controls) {
        if (c->item->id == id)
            return c.get();
    }
    return nullptr;
}

GtkDialogHost::Control* GtkDialogHost::Find(int id) {
    return const_cast<Control*>(static_cast<const GtkDialogHost*>(this)->Find(id));
}

GtkWidget* GtkDialogHost::Widget(int id) const {
    if (id == 0)
        return m_window;
    const Control* c = Find(id);
    return c ? c->widget : nullptr;
}

bool GtkDialogHost::Create() {
    m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(m_window);
    m_title = CString(m_layout.title);
    gtk_window_set_title(GTK_WINDOW(m_window), Utf8(m_title).c_str());
    gtk_window_set_resizable(GTK_WINDOW(m_window), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(m_window), GDK_WINDOW_TYPE_HINT_DIALOG);
    if (m_layout.exStyle & kWsExNoActivate)
        gtk_window_set_focus_on_map(GTK_WINDOW(m_window), FALSE);
    gtk_widget_set_app_paintable(m_window, TRUE);

    // Base units from the dialog font, as Windows takes them: the average width of the Latin
    // letters and the font's full height.
    const FontDescPtr dialogFont = FontOf(CString(m_layout.fontFace), 0, m_layout.pointSize);
    PangoLayout* probe = gtk_widget_create_pango_layout(
        m_window, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    pango_layout_set_font_description(probe, dialogFont.get());
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(probe, &width, &height);
    g_object_unref(probe);
    m_units.x = (width / 26 + 1) / 2;
    m_units.y = height;
    m_client = m_units.Map(0, 0, m_layout.cx, m_layout.cy);

    m_fixed = gtk_fixed_new();
    gtk_widget_set_size_request(m_fixed, m_client.Width(), m_client.Height());
    gtk_container_add(GTK_CONTAINER(m_window), m_fixed);

    for (const DialogItemTemplate& item : m_layout.items) {
        auto c = std::make_unique<Control>();
        c->host = this;
        c->item = &item;
        c->rect = m_units.Map(item.x, item.y, item.cx, item.cy);
        c->text = CString(item.text);
        const std::u16string_view cls(item.windowClass);
        if (cls == u"static" && (item.style & kSsTypeMask) == kSsLeft) {
            c->kind = Kind::Label;
            c->widget = gtk_label_new(Utf8(c->text).c_str());
            gtk_label_set_xalign(GTK_LABEL(c->widget), 0.0f);
            gtk_label_set_yalign(GTK_LABEL(c->widget), 0.0f);
            gtk_label_set_line_wrap(GTK_LABEL(c->widget), TRUE);
            gtk_label_set_line_wrap_mode(GTK_LABEL(c->widget), PANGO_WRAP_WORD_CHAR);
            gtk_label_set_max_width_chars(GTK_LABEL(c->widget), 1);  // the template sets the width
            ApplyFont(c->widget, dialogFont.get());
        } else if (cls == u"static" && ((item.style & kSsTypeMask) == kSsGrayFrame ||
                                        (item.style & kSsTypeMask) == kSsWhiteFrame)) {
            c->kind = Kind::Frame;
            c->frame = (item.style & kSsTypeMask) == kSsGrayFrame ? kGrayFrame : kWhiteFrame;
            c->widget = gtk_drawing_area_new();
            g_signal_connect(c->widget, "draw", G_CALLBACK(OnFrameDraw), c.get());
        } else if (cls == u"button" && (item.style & kBsTypeMask) == kBsAutoCheckBox) {
            c->kind = Kind::Check;
            c->widget = gtk_check_button_new_with_label(Utf8(c->text).c_str());
            ApplyFont(gtk_bin_get_child(GTK_BIN(c->widget)), dialogFont.get());
            gtk_widget_set_can_focus(c->widget, (item.style & kWsTabStop) != 0);
            g_signal_connect(c->widget, "toggled", G_CALLBACK(OnToggled), c.get());
        } else {
            return false;  // a control this host cannot make
        }
        if (c->kind != Kind::Frame)
            g_signal_connect(c->widget, "draw", G_CALLBACK(OnControlDraw), c.get());
        gtk_widget_set_size_request(c->widget, c->rect.Width(), c->rect.Height());
        gtk_fixed_put(GTK_FIXED(m_fixed), c->widget, c->rect.left, c->rect.top);
        m_controls.push_back(std::move(c));
    }

    const CRect frame = m_units.Map(m_layout.x, m_layout.y, 0, 0);
    gtk_window_move(GTK_WINDOW(m_window), frame.left, frame.top);
    g_signal_connect(m_window, "draw", G_CALLBACK(OnDraw), this);
    g_signal_connect(m_window, "key-press-event", G_CALLBACK(OnKey), this);
    g_signal_connect(m_window, "delete-event", G_CALLBACK(OnDelete), this);
    gtk_widget_show_all(m_fixed);
    return true;
}

intptr_t GtkDialogHost::Run() {
    m_dialog.AttachHost(this);
    m_dialog.OnInitDialog();
    if (!m_bEnded && (m_layout.style & kWsVisible))
        gtk_widget_show(m_window);
    if (!m_bEnded) {
        m_loop = g_main_loop_new(nullptr, FALSE);
        g_main_loop_run(m_loop);
    }
    m_dialog.Detach();
    return m_nResult;
}

void GtkDialogHost::SetWindowText(int id, const CString& text) {
    if (id == 0) {
        m_title = text;
        gtk_window_set_title(GTK_WINDOW(m_window), Utf8(text).c_str());
        return;
    }
    Control* c = Find(id);
    if (!c)
        return;
    c->text = text;
    if (c->kind == Kind::Label)
        gtk_label_set_text(GTK_LABEL(c->widget), Utf8(text).c_str());
    if (c->kind == Kind::Check)
        gtk_button_set_label(GTK_BUTTON(c->widget), Utf8(text).c_str());
}

CString GtkDialogHost::GetWindowText(int id) const {
    if (id == 0)
        return m_title;
    const Control* c = Find(id);
    return c ? c->text : CString();
}

CRect GtkDialogHost::GetClientRect(int id) const {
    if (id == 0)
        return m_client;
    const Control* c = Find(id);
    return c ? CRect(0, 0, c->rect.Width(), c->rect.Height()) : CRect();
}

CRect GtkDialogHost::GetWindowRect(int id) const {
    int x = 0;
    int y = 0;
    GdkWindow* gdk = gtk_widget_get_window(m_window);
    if (gdk) {
        gdk_window_get_origin(gdk, &x, &y);
    } else {
        gtk_window_get_position(GTK_WINDOW(m_window), &x, &y);
    }
    CRect r = id == 0 ? m_client : (Find(id) ? Find(id)->rect : CRect());
    r.OffsetRect(x, y);
    return r;
}

void GtkDialogHost::SetFont(int id, HFONT font, bool redraw) {
    Control* c = Find(id);
    FontInfo info;
    if (!c || !GetFontInfo(font, info))
        return;
    const FontDescPtr desc = FontOf(info.face, info.height, 0);
    ApplyFont(c->kind == Kind::Check ? gtk_bin_get_child(GTK_BIN(c->widget)) : c->widget,
              desc.get());
    if (redraw)
        gtk_widget_queue_draw(c->widget);
}

void GtkDialogHost::Invalidate(int id, bool) {
    if (GtkWidget* w = Widget(id))
        gtk_widget_queue_draw(w);
}

int GtkDialogHost::GetCheck(int id) const {
    const Control* c = Find(id);
    if (!c || c->kind != Kind::Check)
        return 0;
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c->widget)) ? 1 : 0;
}

void GtkDialogHost::SetCheck(int id, int state) {
    Control* c = Find(id);
    if (!c || c->kind != Kind::Check)
        return;
    // Setting the state from code is not a click.
    m_bSettingCheck = true;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c->widget), state == 1);
    m_bSettingCheck = false;
}

HICON GtkDialogHost::SetIcon(HICON icon, bool big) {
    HICON previous = m_icons[big ? 0 : 1];
    m_icons[big ? 0 : 1] = icon;
    // GTK takes one list of sizes for both uses.
    GList* list = nullptr;
    std::vector<PixbufPtr> pixbufs;
    if (const IconResource* resource = IconOf(icon)) {
        for (const IconImage& image : resource->images) {
            pixbufs.push_back(PixbufOf(image));
            if (pixbufs.back())
                list = g_list_append(list, pixbufs.back().get());
        }
    }
    gtk_window_set_icon_list(GTK_WINDOW(m_window), list);
    g_list_free(list);
    return previous;
}

bool GtkDialogHost::IsIconic() const {
    GdkWindow* gdk = gtk_widget_get_window(m_window);
    return gdk && (gdk_window_get_state(gdk) & GDK_WINDOW_STATE_ICONIFIED);
}

bool GtkDialogHost::SetTimer(uintptr_t timerId, UINT elapseMs) {
    KillTimer(timerId);  // the same id replaces the running timer
    const gint64 period = gint64{elapseMs == 0 ? 1u : elapseMs} * 1000;
    auto slot = std::make_unique<TimerSlot>(
        TimerSlot{this, timerId, 0, period, g_get_monotonic_time() + period});
    slot->source = g_timeout_add(elapseMs, OnTimer, slot.get());
    m_timers[timerId] = std::move(slot);
    return true;
}

bool GtkDialogHost::KillTimer(uintptr_t timerId) {
    const auto it = m_timers.find(timerId);
    if (it == m_timers.end())
        return false;
    g_source_remove(it->second->source);
    m_timers.erase(it);
    return true;
}

gboolean GtkDialogHost::OnTimer(gpointer data) {
    // The handler may kill this timer and so free the slot: keep what is needed first.
    auto* slot = static_cast<TimerSlot*>(data);
    GtkDialogHost* host = slot->host;
    const uintptr_t id = slot->id;
    const guint source = slot->source;
    Message m;
    m.msg = Msg::Timer;
    m.timerId = id;
    host->Dispatch(m);
    const auto it = host->m_timers.find(id);
    if (it == host->m_timers.end() || it->second->source != source)
        return G_SOURCE_REMOVE;
    // GLib counts the next interval from the end of this one; a system timer keeps a steady
    // rate. Re-arm for the next tick of the steady series (a late one does not push the rest).
    TimerSlot& s = *it->second;
    const gint64 now = g_get_monotonic_time();
    s.due = std::max(s.due + s.period, now);
    s.source = g_timeout_add(static_cast<guint>((s.due - now + 999) / 1000), OnTimer, &s);
    return G_SOURCE_REMOVE;
}

int GtkDialogHost::MessageBox(const CString& text, const CString& caption, UINT) {
    GtkWidget* box =
        gtk_message_dialog_new(GTK_WINDOW(m_window), GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                               GTK_BUTTONS_OK, "%s", Utf8(text).c_str());
    gtk_window_set_title(GTK_WINDOW(box), Utf8(caption).c_str());
    gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
    if (!gtk_widget_get_visible(m_window))
        gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    return kIdOk;  // OK is the only button; closing the box means the same
}

void GtkDialogHost::EndDialog(int result) {
    m_bEnded = true;
    m_nResult = result;
    gtk_widget_hide(m_window);
    // The window must be gone from the screen now: the handler may run for a long time yet.
    gdk_display_flush(gtk_widget_get_display(m_window));
    if (m_loop)
        g_main_loop_quit(m_loop);
}

intptr_t GtkDialogHost::SendMessage(int, UINT message, uintptr_t wParam, intptr_t) {
    if (message != kWmIconEraseBkgnd || wParam == 0)
        return 0;
    auto* surface = reinterpret_cast<CairoSurface*>(wParam);
    COLORREF colour;
    const CRect area(0, 0, surface->Bounds().Width(), surface->Bounds().Height());
    if (m_paintCr && CtlColour(0, kCtlColorDlg, m_paintCr, area, colour))
        surface->FillSolidRect(area, colour);
    return 1;
}

std::unique_ptr<DrawSurface> GtkDialogHost::BeginPaint() {
    if (!m_paintCr)
        return std::make_unique<DeferredSurface>(m_window);
    return std::make_unique<CairoSurface>(*this, m_paintCr, m_client, true);
}

std::unique_ptr<DrawSurface> GtkDialogHost::GetDC(int id) {
    const CRect bounds = id == 0 ? m_client : (Find(id) ? Find(id)->rect : CRect());
    if (!m_paintCr)
        return std::make_unique<DeferredSurface>(m_window);
    return std::make_unique<CairoSurface>(*this, m_paintCr, bounds, false);
}

cairo_surface_t* GtkDialogHost::IconSurface(const IconImage& image) {
    SurfacePtr& s = m_iconSurfaces[&image];
    if (!s)
        s = SurfaceOf(image);
    return s.get();
}

bool GtkDialogHost::CtlColour(int id, UINT type, cairo_t* cr, const CRect& bounds,
                              COLORREF& colour) {
    CWnd window;
    window.Attach(this, id);
    CDC dc(std::make_unique<CairoSurface>(*this, cr, bounds, false));
    Message m;
    m.msg = Msg::CtlColor;
    m.dc = &dc;
    m.ctl = id == 0 ? static_cast<CWnd*>(&m_dialog) : &window;
    m.ctlType = type;
    const std::optional<intptr_t> brush = m_dialog.HandleMessage(m);
    return brush && GetBrushColour(reinterpret_cast<HBRUSH>(*brush), colour);
}

gboolean GtkDialogHost::OnDraw(GtkWidget*, cairo_t* cr, gpointer self) {
    auto* host = static_cast<GtkDialogHost*>(self);
    host->m_paintCr = cr;
    Message m;
    m.msg = Msg::Paint;
    host->Dispatch(m);
    host->m_paintCr = nullptr;
    return FALSE;  // the controls draw themselves after the dialog
}

gboolean GtkDialogHost::OnControlDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
    auto* c = static_cast<Control*>(data);
    // Check boxes ask with the static kind, as Windows' own do.
    COLORREF colour;
    const CRect area(0, 0, gtk_widget_get_allocated_width(widget),
                     gtk_widget_get_allocated_height(widget));
    if (c->host->CtlColour(c->item->id, kCtlColorStatic, cr, area, colour)) {
        SetSourceColour(cr, colour);
        cairo_paint(cr);
    }
    return FALSE;
}

gboolean GtkDialogHost::OnFrameDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
    auto* c = static_cast<Control*>(data);
    const int w = gtk_widget_get_allocated_width(widget);
    const int h = gtk_widget_get_allocated_height(widget);
    SetSourceColour(cr, c->frame);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, 0.5, 0.5, w - 1.0, h - 1.0);
    cairo_stroke(cr);
    return TRUE;
}

void GtkDialogHost::OnToggled(GtkToggleButton*, gpointer data) {
    auto* c = static_cast<Control*>(data);
    if (c->host->m_bSettingCheck)
        return;
    Message m;
    m.msg = Msg::Command;
    m.id = c->item->id;
    m.code = kBnClicked;
    c->host->Dispatch(m);
}

void GtkDialogHost::Command(int id) {
    Message m;
    m.msg = Msg::Command;
    m.id = id;
    m.code = kBnClicked;
    Dispatch(m);
}

gboolean GtkDialogHost::OnKey(GtkWidget*, GdkEventKey* event, gpointer self) {
    auto* host = static_cast<GtkDialogHost*>(self);
    switch (event->keyval) {
        case GDK_KEY_Escape:
            host->Command(kIdCancel);
            return TRUE;
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
            host->Command(kIdOk);
            return TRUE;
        default:
            return FALSE;
    }
}

gboolean GtkDialogHost::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<GtkDialogHost*>(self)->Command(kIdCancel);
    return TRUE;  // the dialog decides; EndDialog hides the window
}

}  // namespace

bool OpenDisplay() {
    static const bool opened = gtk_init_check(nullptr, nullptr) == TRUE;
    return opened;
}

intptr_t RunGtkDialog(CDialogEx& dialog, const DialogTemplate& layout) {
    GtkDialogHost host(dialog, layout);
    if (!host.Create())
        return -1;
    return host.Run();
}

}  // namespace platform::gtk

namespace platform {

intptr_t RunModalDialog(CDialogEx& dialog) {
    const DialogTemplate* layout = FindDialogTemplate(static_cast<int>(dialog.GetTemplateId()));
    if (!layout)
        return -1;
    if (gtk::OpenDisplay())
        return gtk::RunGtkDialog(dialog, *layout);
    gtk::ConsoleHost console(dialog, *layout);
    return console.Run();
}

}  // namespace platform
