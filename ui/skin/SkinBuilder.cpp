#include "ui/skin/SkinBuilder.h"

#include <string.h>

#include <new>

#include "ui/base/AttributeValue.h"
#include "ui/base/UIResourceSource.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/ListContainerElementUI.h"
#include "ui/controls/ListHeaderUI.h"
#include "ui/controls/ListUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/core/ContainerUI.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/TabLayoutUI.h"
#include "ui/core/TileLayoutUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/core/WindowHostUI.h"
#include "ui/gfx/ProgramUI.h"

// Sections: the element-name table; loading; host settings; the control
// tree; includes.

namespace ui {

// ---- the element-name table ---------------------------------------------------

namespace {

typedef CControlUI* (*ControlFactory)();

template <class T>
CControlUI* Make()
{
    return new (std::nothrow) T;
}

struct StockControl
{
    const char* element;
    // Null for the stock controls this build does not have: their names go
    // to the callback like unknown names.
    ControlFactory create;
};

const StockControl kStockControls[] = {
    { "Control", &Make<CControlUI> },
    { "Container", &Make<CContainerUI> },
    { "VerticalLayout", &Make<CVerticalLayoutUI> },
    { "HorizontalLayout", &Make<CHorizontalLayoutUI> },
    { "TileLayout", &Make<CTileLayoutUI> },
    { "TabLayout", &Make<CTabLayoutUI> },
    { "Label", &Make<CLabelUI> },
    { "Button", &Make<CButtonUI> },
    { "Text", nullptr },
    { "Option", nullptr },
    { "Progress", nullptr },
    { "Slider", nullptr },
    { "Edit", nullptr },
    { "RichEdit", nullptr },
    { "ScrollBar", &Make<CScrollBarUI> },
    { "Combo", nullptr },
    { "List", &Make<CListUI> },
    { "ListHeader", &Make<CListHeaderUI> },
    { "ListHeaderItem", nullptr },
    { "ListTextElement", nullptr },
    { "ListLabelElement", nullptr },
    { "ListContainerElement", &Make<CListContainerElementUI> },
    { "ActiveX", nullptr },
};

bool Is(const char* name, const char* reserved) { return strcmp(name, reserved) == 0; }

// Elements that feed the host and create no control.
bool IsResourceElement(const char* name)
{
    return Is(name, "Image") || Is(name, "Font") || Is(name, "Default");
}

DWORD ReadColor(const char* value) { return ReadColorValue(value, false); }

} // namespace

CControlUI* CSkinBuilder::CreateControl(const char* name) const
{
    for (const StockControl& stock : kStockControls) {
        if (Is(name, stock.element)) {
            if (stock.create != nullptr)
                return stock.create();
            break;
        }
    }
    return m_callback != nullptr ? m_callback->CreateControl(name) : nullptr;
}

// ---- loading ------------------------------------------------------------------

CSkinBuilder::CSkinBuilder() : CSkinBuilder(nullptr, 0) {}

CSkinBuilder::CSkinBuilder(const CSkinBuilder* includer, int nesting)
    : m_document(true),
      m_callback(nullptr),
      m_resourceType(nullptr),
      m_skinId(0),
      m_includer(includer),
      m_includeDepth(includer != nullptr ? includer->m_includeDepth + 1 : 0),
      m_nestingBase(nesting)
{
    // Containers of a skin scroll with the stock bars.
    CScrollBarUI::InstallFactory();
}

CControlUI* CSkinBuilder::Create(const char* skin, const char* type, IDialogBuilderCallback* callback,
                                 CWindowHostUI* host, CControlUI* parent)
{
    if (skin == nullptr)
        return nullptr;
    if (IS_INTRESOURCE(skin)) {
        if (type == nullptr)
            return nullptr;
        m_resourceType = type;
        m_skinId = reinterpret_cast<ULONG_PTR>(skin);
        if (!m_document.LoadFromResource(CProgramUI::GetResourceInstance(), skin, type))
            return nullptr;
    } else if (skin[0] == '<') {
        if (!m_document.LoadFromString(skin))
            return nullptr;
    } else {
        m_skinFile.Assign(skin);
        UIResourceSource source = CProgramUI::GetResourceSource();
        if (!m_document.LoadFromFile(skin, source))
            return nullptr;
    }
    return CreateFromDocument(callback, host, parent);
}

CControlUI* CSkinBuilder::CreateFromDocument(IDialogBuilderCallback* callback, CWindowHostUI* host,
                                             CControlUI* parent)
{
    m_callback = callback;
    CXmlNode root = m_document.GetRootElement();
    if (!root.IsValid())
        return nullptr;
    if (host != nullptr) {
        ApplyResourceElements(root, host);
        if (Is(root.GetName(), "Window") && host->GetHostWindow() != nullptr)
            ApplyWindowAttributes(root, host);
    }
    return ParseLevel(root, parent, host, m_nestingBase);
}

// ---- host settings --------------------------------------------------------------

// The root's "Image", "Font" and "Default" children. A later occurrence of
// an attribute overrides an earlier one.
void CSkinBuilder::ApplyResourceElements(const CXmlNode& root, CWindowHostUI* host)
{
    for (CXmlNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const char* element = node.GetName();
        if (!IsResourceElement(element))
            continue;
        const char* name = nullptr;
        const char* value = nullptr;
        const char* type = nullptr;
        DWORD mask = 0;
        int size = 12;
        bool bold = false, underline = false, italic = false, isDefault = false;
        const int count = node.GetAttributeCount();
        for (int i = 0; i < count; ++i) {
            const char* attribute = node.GetAttributeName(i);
            const char* text = node.GetAttributeValue(i);
            if (Is(attribute, "name"))
                name = text;
            else if (Is(attribute, "value"))
                value = text;
            else if (Is(attribute, "restype"))
                type = text;
            else if (Is(attribute, "mask"))
                mask = ReadColor(text);
            else if (Is(attribute, "size"))
                size = ReadIntValue(text);
            else if (Is(attribute, "bold"))
                bold = ReadBoolValue(text);
            else if (Is(attribute, "underline"))
                underline = ReadBoolValue(text);
            else if (Is(attribute, "italic"))
                italic = ReadBoolValue(text);
            else if (Is(attribute, "default"))
                isDefault = ReadBoolValue(text);
        }
        if (name == nullptr)
            continue;
        if (Is(element, "Image")) {
            host->CacheImage(name, type, mask);
        } else if (Is(element, "Font")) {
            host->RegisterFont(name, size, bold, underline, italic);
            if (isDefault)
                host->SetBaseFont(name, size, bold, underline, italic);
        } else {
            host->SetClassDefaults(name, value != nullptr ? value : "");
        }
    }
}

// The attributes of a "Window" root, in document order; others are ignored.
void CSkinBuilder::ApplyWindowAttributes(const CXmlNode& root, CWindowHostUI* host)
{
    const int count = root.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        const char* name = root.GetAttributeName(i);
        const char* value = root.GetAttributeValue(i);
        if (Is(name, "size")) {
            SIZE size = ReadSizeValue<SIZE>(value);
            host->SetInitialSize(size.cx, size.cy);
        } else if (Is(name, "sizebox")) {
            host->SetSizeBox(ReadRectValue<RECT>(value));
        } else if (Is(name, "caption")) {
            host->SetCaptionRect(ReadRectValue<RECT>(value));
        } else if (Is(name, "roundcorner")) {
            SIZE size = ReadSizeValue<SIZE>(value);
            host->SetRoundCorner(size.cx, size.cy);
        } else if (Is(name, "mininfo")) {
            SIZE size = ReadSizeValue<SIZE>(value);
            host->SetMinTrackSize(size.cx, size.cy);
        } else if (Is(name, "maxinfo")) {
            SIZE size = ReadSizeValue<SIZE>(value);
            host->SetMaxTrackSize(size.cx, size.cy);
        } else if (Is(name, "showdirty")) {
            host->SetShowUpdateRect(ReadBoolValue(value));
        } else if (Is(name, "alpha")) {
            host->SetWindowAlpha(ReadIntValue(value));
        } else if (Is(name, "bktrans")) {
            host->SetAlphaBackground(ReadBoolValue(value));
        } else if (Is(name, "disabledfontcolor")) {
            host->SetDisabledTextColor(ReadColor(value));
        } else if (Is(name, "defaultfontcolor")) {
            host->SetDefaultTextColor(ReadColor(value));
        } else if (Is(name, "linkfontcolor")) {
            host->SetLinkTextColor(ReadColor(value));
        } else if (Is(name, "linkhoverfontcolor")) {
            host->SetLinkHoverTextColor(ReadColor(value));
        } else if (Is(name, "selectedcolor")) {
            host->SetSelectedBackColor(ReadColor(value));
        }
    }
}

// ---- the control tree --------------------------------------------------------------

CControlUI* CSkinBuilder::ParseChildren(const CXmlNode& node, CControlUI* parent, CWindowHostUI* host)
{
    return ParseLevel(node, parent, host, m_nestingBase);
}

CControlUI* CSkinBuilder::ParseLevel(const CXmlNode& node, CControlUI* parent, CWindowHostUI* host,
                                     int nesting)
{
    if (nesting >= kMaxNesting)
        return nullptr;
    IContainerUI* container = nullptr;
    bool containerLooked = false;
    CControlUI* first = nullptr;
    for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        const char* name = child.GetName();
        if (IsResourceElement(name))
            continue;
        if (Is(name, "Include")) {
            if (child.GetAttributeCount() > 0)
                BuildInclude(child, parent, host, nesting);
            continue;
        }
        CControlUI* control = CreateControl(name);
        if (control == nullptr)
            continue;
        // Without a parent only the level's first control reaches the
        // caller; later ones would be lost.
        if (parent == nullptr && first != nullptr) {
            delete control;
            continue;
        }
        // The subtree is built before the control is attached or configured.
        if (child.HasChildren())
            ParseLevel(child, control, host, nesting + 1);
        if (parent != nullptr) {
            if (!containerLooked) {
                container = static_cast<IContainerUI*>(parent->FindInterface("IContainer"));
                containerLooked = true;
            }
            // A parent that holds no children ends the level.
            if (container == nullptr) {
                delete control;
                return nullptr;
            }
            if (!container->AddChild(control)) {
                delete control;
                continue;
            }
        }
        Configure(child, control, host);
        if (first == nullptr)
            first = control;
    }
    return first;
}

void CSkinBuilder::Configure(const CXmlNode& node, CControlUI* control, CWindowHostUI* host) const
{
    // A parent that a host already shows has linked the control and given
    // it that host (AddChild); both stay. A parent still being built links
    // its children only when the finished tree is attached.
    CWindowHostUI* previous = control->GetHost();
    if (host != nullptr) {
        control->SetHost(host, control->GetParent(), false);
        if (const char* defaults = host->GetClassDefaults(node.GetName()))
            control->ApplyAttributeString(defaults);
    }
    const int count = node.GetAttributeCount();
    for (int i = 0; i < count; ++i)
        control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
    if (host != nullptr)
        control->SetHost(previous, control->GetParent(), false);
    // Its name was not known yet when a live parent took it.
    if (previous != nullptr)
        previous->RegisterNames(control);
}

// ---- includes ---------------------------------------------------------------------

void CSkinBuilder::BuildInclude(const CXmlNode& node, CControlUI* parent, CWindowHostUI* host, int nesting)
{
    char text[CXmlNode::kValueBufferSize];
    int count = 1;
    if (node.GetAttributeValue("count", text))
        count = ReadIntValue(text);
    char source[CXmlNode::kValueBufferSize];
    if (!node.GetAttributeValue("source", source) || count <= 0)
        return;
    // A skin from a resource includes resources of its own type by number.
    const char* skin = source;
    if (m_resourceType != nullptr)
        skin = MAKEINTRESOURCEA(static_cast<WORD>(ReadIntValue(source)));
    if (m_includeDepth >= kMaxIncludeNesting || IsOnIncludeChain(skin, m_resourceType))
        return;
    for (int i = 0; i < count; ++i) {
        CSkinBuilder included(this, nesting);
        CControlUI* result = included.Create(skin, m_resourceType, m_callback, host, parent);
        // Attached to the parent when there is one; otherwise nothing holds it.
        if (parent == nullptr)
            delete result;
    }
}

bool CSkinBuilder::IsOnIncludeChain(const char* skin, const char* type) const
{
    const bool byId = IS_INTRESOURCE(skin);
    // Markup holds its own text: it cannot name itself.
    if (!byId && skin[0] == '<')
        return false;
    for (const CSkinBuilder* b = this; b != nullptr; b = b->m_includer) {
        if (byId) {
            if (b->m_resourceType != nullptr && type != nullptr && b->m_skinId == reinterpret_cast<ULONG_PTR>(skin) &&
                strcmp(b->m_resourceType, type) == 0)
                return true;
        } else if (!b->m_skinFile.IsEmpty() && ::lstrcmpiA(b->m_skinFile.GetData(), skin) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace ui
