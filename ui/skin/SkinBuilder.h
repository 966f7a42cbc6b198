#pragma once

// CSkinBuilder turns a skin into a tree of controls and feeds the window's
// host with the skin's window settings, fonts, images and class defaults.

#include <windows.h>

#include "ui/base/UIString.h"
#include "ui/base/XmlDocument.h"
#include "ui/skin/DialogBuilderCallback.h"

namespace ui {

class CControlUI;
class CWindowHostUI;

class CSkinBuilder
{
public:
    CSkinBuilder();
    CSkinBuilder(const CSkinBuilder&) = delete;
    CSkinBuilder& operator=(const CSkinBuilder&) = delete;

    // Loads the skin and builds it (CreateFromDocument). `skin` is a
    // resource id (MAKEINTRESOURCEA) of type `type` in the host's resource
    // module, markup when it begins with "<", or else a file name under the
    // resource folder or archive. `type` is kept, not copied, for the
    // resource ids of "Include" elements. Null when the skin cannot be
    // loaded or yields no control; the document keeps the error text.
    CControlUI* Create(const char* skin, const char* type, IDialogBuilderCallback* callback, CWindowHostUI* host,
                       CControlUI* parent = nullptr);

    // Builds the loaded document: the root element's "Image", "Font" and
    // "Default" children and, for a "Window" root of a host with a window,
    // its attributes go to the host; then the controls are built under
    // `parent`. Returns the first control of the root's children; the
    // caller owns it (normally through the host's AttachRoot).
    CControlUI* CreateFromDocument(IDialogBuilderCallback* callback, CWindowHostUI* host,
                                   CControlUI* parent = nullptr);

    // Builds the child elements of `node` into `parent` (which must then be
    // a container); returns the first control created at this level.
    CControlUI* ParseChildren(const CXmlNode& node, CControlUI* parent, CWindowHostUI* host);

    CXmlDocument& GetDocument() { return m_document; }

    // Elements nested deeper than this below the root are not built, so
    // that a hostile skin cannot exhaust the stack of the recursive build.
    enum { kMaxNesting = 200 };
    // "Include" elements nest at most this deep.
    enum { kMaxIncludeNesting = 16 };

private:
    // The builder of an "Include" element: knows the chain of builders that
    // included it, to refuse a skin that includes itself.
    CSkinBuilder(const CSkinBuilder* includer, int nesting);

    void ApplyResourceElements(const CXmlNode& root, CWindowHostUI* host);
    void ApplyWindowAttributes(const CXmlNode& root, CWindowHostUI* host);
    void BuildInclude(const CXmlNode& node, CControlUI* parent, CWindowHostUI* host, int nesting);
    CControlUI* CreateControl(const char* name) const;
    // `nesting` counts the levels above this one, through includes too.
    CControlUI* ParseLevel(const CXmlNode& node, CControlUI* parent, CWindowHostUI* host, int nesting);
    // Attaches the host for the time of the class defaults and the
    // element's attributes.
    void Configure(const CXmlNode& node, CControlUI* control, CWindowHostUI* host) const;
    // True when this builder or one that included it loads `skin` of `type`.
    bool IsOnIncludeChain(const char* skin, const char* type) const;

    CXmlDocument m_document;
    IDialogBuilderCallback* m_callback;
    const char* m_resourceType;
    // What this builder loaded: a resource id, or a file name (markup
    // cannot include itself and is not kept).
    ULONG_PTR m_skinId;
    CUIString m_skinFile;
    const CSkinBuilder* m_includer;
    int m_includeDepth;
    int m_nestingBase;
};

} // namespace ui
