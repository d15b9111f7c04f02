// CSkinBuilder: turns a skin XML document into the control tree of one
// window. The resource pass registers the document's images, fonts and
// default attribute lists with the window manager and applies the attributes
// of a top "Window" element to the window; the control pass creates one
// control per element by its name and applies the element's attributes.
//
// Element names map to controls through the element table, a process-wide
// table of factory functions: "Control" is built in, the controls library
// registers its own (RegisterControlElements in skinui/controls).
#pragma once

#include <windows.h>

#include "skinui/core/ui_string.h"
#include "skinui/core/ui_types.h"
#include "skinui/core/xml_reader.h"

namespace SkinUI {

class CControlUI;
class CUiManager;

// Asked for every element name the element table does not know.
class IDialogBuilderCallback {
public:
    virtual CControlUI* CreateControl(const wchar_t* className) = 0;

protected:
    ~IDialogBuilderCallback() {}
};

// One entry of the element table: makes a new control of one class.
typedef CControlUI* (*UiControlFactory)();
// One entry of the manager's process-wide control factory list
// (CUiManager::GetControlFactories): asked with the element name.
typedef CControlUI* (*UiCreateControlProc)(const wchar_t* className);

class CSkinBuilder {
public:
    // Nested "Include" elements deeper than this are not built.
    enum { MAX_INCLUDE_DEPTH = 16 };
    // At most this many documents are included for one skin, over every
    // level of Include together; an Include whose count goes beyond is not
    // built.
    enum { MAX_INCLUDE_COPIES = 1000 };
    // Controls nest at most this deep (the top level is 1), across includes
    // and the levels of the tree the content goes into (SetStartDepth): the
    // tree is walked recursively once built, and a real skin stays far
    // below. A deeper skin is not built at all (Create returns null).
    enum { MAX_NESTING_DEPTH = 256 };

    CSkinBuilder();
    CSkinBuilder(const CSkinBuilder&) = delete;
    CSkinBuilder& operator=(const CSkinBuilder&) = delete;

    // skin: a resource number (of the given resource type in the module set
    // with CUiManager::SetInstance), XML text starting with "<", or a skin
    // file name. Returns the first control created at the top level, or null
    // when the document cannot be loaded or parsed.
    CControlUI* Create(CUiStringOrId skin, const wchar_t* type = nullptr, IDialogBuilderCallback* callback = nullptr,
                       CUiManager* manager = nullptr, CControlUI* parent = nullptr);
    // The same on the document already loaded into GetReader().
    CControlUI* CreateFromReader(IDialogBuilderCallback* callback = nullptr, CUiManager* manager = nullptr,
                                 CControlUI* parent = nullptr);
    CXmlReader* GetReader() { return &m_xml; }
    // The content goes below a control that stands this deep in its tree
    // (its root is 1); the nesting bound counts those levels too.
    void SetStartDepth(int depth) { m_iStartDepth = depth > 0 ? depth : 0; }

    // The builder's own error (a failed resource, a skin or an Include
    // nested too deep, too many includes) when there is one, else the
    // reader's parse error.
    void GetLastErrorMessage(wchar_t* buffer, SIZE_T size) const;
    void GetLastErrorLocation(wchar_t* buffer, SIZE_T size) const;

    // Adds or replaces an element of the element table.
    static bool RegisterElement(const wchar_t* name, UiControlFactory factory);
    // A new control for an element name of the table, or null.
    static CControlUI* CreateElement(const wchar_t* name);

private:
    bool LoadResource(WORD id, const wchar_t* type);
    void ParseResources(const CXmlNode& root, CUiManager* manager);
    // The elements from node on, as controls at the given depth under parent.
    CControlUI* Parse(const CXmlNode& first, CControlUI* parent, CUiManager* manager, int depth);
    void BuildInclude(const CXmlNode& node, CControlUI* parent, CUiManager* manager, int depth, CControlUI*& first);
    // A "TreeNode" element: added to its parent node or tree view, then its
    // attributes and children; false when the parent is neither (the level
    // ends there).
    bool BuildTreeNode(const CXmlNode& node, CControlUI* parent, CUiManager* manager, int depth, CControlUI*& first);
    // The manager's defaults for the element name, then the element's own
    // attributes (both without a manager).
    static void ApplyAttributes(const CXmlNode& node, CControlUI* control, CUiManager* manager);
    CControlUI* CreateByName(const wchar_t* name);
    // Records the error on the outermost builder of an Include chain.
    void SetError(const wchar_t* message, const wchar_t* location);
    CSkinBuilder* Outermost();
    // The build of the whole skin was abandoned (nested too deep).
    bool IsAbandoned() { return Outermost()->m_bAbandoned; }

    CXmlReader m_xml;
    IDialogBuilderCallback* m_pCallback;
    bool m_bFromResource;
    CUiString m_sResourceType;
    int m_iIncludeDepth;
    int m_iStartDepth;
    int m_nIncludeCopies;    // on the outermost builder: documents included so far
    bool m_bAbandoned;       // on the outermost builder
    CSkinBuilder* m_pOuter;  // the builder whose Include made this one, or null
    CUiString m_sErrorMessage;
    CUiString m_sErrorLocation;
};

}  // namespace SkinUI
