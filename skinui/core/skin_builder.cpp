#include "skinui/core/skin_builder.h"

#include "foundation/log.h"
#include "foundation/module_resource.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/container_interface.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/ui_string_map.h"

namespace SkinUI {

namespace {

struct ElementEntry {
    UiControlFactory factory;
};

CControlUI* CreateControlUI() { return new CControlUI; }

// Element name to factory. Lives until the process ends.
CUiStringMap& ElementTable()
{
    static CUiStringMap* table = nullptr;
    if (table == nullptr) {
        table = new CUiStringMap(83);
        table->Insert(L"Control", new ElementEntry{&CreateControlUI});
    }
    return *table;
}

bool NameIs(const wchar_t* name, const wchar_t* expected) { return wcscmp(name, expected) == 0; }

// Elements the control pass passes over.
bool IsResourceElement(const wchar_t* name)
{
    return NameIs(name, L"Image") || NameIs(name, L"Font") || NameIs(name, L"Default") ||
           NameIs(name, L"MultiLanguage");
}

// Deletes a control the builder cannot place. Its subtree registered names
// (and perhaps more) with the manager while its attributes were applied: it
// goes attached to the manager, which forgets it control by control.
void Discard(CControlUI* control, CUiManager* manager)
{
    if (manager != nullptr) {
        control->SetManager(manager, nullptr, false);
    }
    control->Delete();
}

void CopyCut(wchar_t* buffer, SIZE_T size, const wchar_t* text)
{
    if (buffer == nullptr || size == 0) {
        return;
    }
    lstrcpynW(buffer, text != nullptr ? text : L"", static_cast<int>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size));
}

}  // namespace

CSkinBuilder::CSkinBuilder()
    : m_pCallback(nullptr),
      m_bFromResource(false),
      m_iIncludeDepth(0),
      m_iStartDepth(0),
      m_nIncludeCopies(0),
      m_bAbandoned(false),
      m_pOuter(nullptr)
{
}

bool CSkinBuilder::RegisterElement(const wchar_t* name, UiControlFactory factory)
{
    if (name == nullptr || name[0] == L'\0' || factory == nullptr) {
        return false;
    }
    delete static_cast<ElementEntry*>(ElementTable().Set(name, new ElementEntry{factory}));
    return true;
}

CControlUI* CSkinBuilder::CreateElement(const wchar_t* name)
{
    if (name == nullptr) {
        return nullptr;
    }
    const ElementEntry* entry = static_cast<const ElementEntry*>(ElementTable().Find(name));
    return entry != nullptr ? entry->factory() : nullptr;
}

CSkinBuilder* CSkinBuilder::Outermost()
{
    CSkinBuilder* outer = this;
    while (outer->m_pOuter != nullptr) {
        outer = outer->m_pOuter;
    }
    return outer;
}

void CSkinBuilder::SetError(const wchar_t* message, const wchar_t* location)
{
    CSkinBuilder* outer = Outermost();
    outer->m_sErrorMessage = message;
    outer->m_sErrorLocation = location;
}

void CSkinBuilder::GetLastErrorMessage(wchar_t* buffer, SIZE_T size) const
{
    if (!m_sErrorMessage.IsEmpty()) {
        CopyCut(buffer, size, m_sErrorMessage);
        return;
    }
    m_xml.GetLastErrorMessage(buffer, size);
}

void CSkinBuilder::GetLastErrorLocation(wchar_t* buffer, SIZE_T size) const
{
    if (!m_sErrorMessage.IsEmpty()) {
        CopyCut(buffer, size, m_sErrorLocation);
        return;
    }
    m_xml.GetLastErrorLocation(buffer, size);
}

bool CSkinBuilder::LoadResource(WORD id, const wchar_t* type)
{
    utility::ResourceBytes bytes;
    const utility::ResourceLookup found = utility::findResource(CUiManager::GetInstance(), MAKEINTRESOURCEW(id), type,
                                                                bytes);
    if (found == utility::kResourceNotFound) {
        common::log("CSkinBuilder::LoadResource", __LINE__, L"resource %d of type %s not found lastError = %d",
                    static_cast<int>(id), type, static_cast<int>(::GetLastError()));
        m_xml.Release();
        SetError(L"Skin resource not found", type);
        return false;
    }
    const BYTE* data = static_cast<const BYTE*>(bytes.data);
    const DWORD size = bytes.size;
    if (data == nullptr || size == 0) {
        common::log("CSkinBuilder::LoadResource", __LINE__, L"resource %d of type %s not loaded lastError = %d",
                    static_cast<int>(id), type, static_cast<int>(::GetLastError()));
        m_xml.Release();
        SetError(L"Skin resource not loaded", type);
        return false;
    }
    return m_xml.LoadFromMem(data, size, UIXML_ENCODING_UTF8);
}

CControlUI* CSkinBuilder::Create(CUiStringOrId skin, const wchar_t* type, IDialogBuilderCallback* callback,
                                 CUiManager* manager, CControlUI* parent)
{
    bool loaded = false;
    if (skin.IsId()) {
        if (type == nullptr) {
            common::log("CSkinBuilder::Create", __LINE__, L"resource %d named without a resource type",
                        static_cast<int>(skin.GetId()));
            SetError(L"Skin resource without a type", L"");
            return nullptr;
        }
        m_bFromResource = true;
        m_sResourceType = type;
        loaded = LoadResource(skin.GetId(), type);
    } else if (skin.GetText()[0] == L'<') {
        loaded = m_xml.LoadFromString(skin.GetText());
    } else {
        loaded = m_xml.LoadFromFile(skin.GetText());
    }
    if (!loaded) {
        common::log("CSkinBuilder::Create", __LINE__, L"skin not loaded: %s", m_xml.GetLastErrorMessage());
        return nullptr;
    }
    return CreateFromReader(callback, manager, parent);
}

CControlUI* CSkinBuilder::CreateFromReader(IDialogBuilderCallback* callback, CUiManager* manager, CControlUI* parent)
{
    m_pCallback = callback;
    CXmlNode root = m_xml.GetRoot();
    if (!root.IsValid()) {
        common::log("CSkinBuilder::CreateFromReader", __LINE__, L"the document has no element");
        return nullptr;
    }
    bool isWindow = NameIs(root.GetName(), L"Window");
    if (manager != nullptr) {
        ParseResources(root, manager);
        if (isWindow && manager->GetPaintWindow() != nullptr) {
            for (int i = 0; i < root.GetAttributeCount(); ++i) {
                manager->SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
            }
        }
    }
    // A "Window" element holds the window's controls; any other top element
    // is itself the first control of the document.
    CControlUI* first = Parse(isWindow ? root.GetChild() : root, parent, manager, m_iStartDepth + 1);
    if (m_pOuter == nullptr && m_bAbandoned) {
        // Nothing of a skin too deep is kept (what went under a given parent stays there).
        if (first != nullptr && parent == nullptr) {
            Discard(first, manager);
        }
        return nullptr;
    }
    return first;
}

void CSkinBuilder::ParseResources(const CXmlNode& root, CUiManager* manager)
{
    for (CXmlNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const wchar_t* element = node.GetName();
        if (NameIs(element, L"Image")) {
            const wchar_t* name = nullptr;
            const wchar_t* type = nullptr;
            DWORD mask = 0;
            bool shared = false;
            for (int i = 0; i < node.GetAttributeCount(); ++i) {
                const wchar_t* attr = node.GetAttributeName(i);
                const wchar_t* value = node.GetAttributeValue(i);
                if (NameIs(attr, L"name"))
                    name = value;
                else if (NameIs(attr, L"restype"))
                    type = value;
                else if (NameIs(attr, L"mask"))
                    mask = ParseColor(value);
                else if (NameIs(attr, L"shared"))
                    shared = ParseBool(value);
            }
            if (name != nullptr && name[0] != L'\0' && manager->AddImage(name, type, mask, false, shared) == nullptr) {
                common::log("CSkinBuilder::ParseResources", __LINE__, L"image %s not loaded", name);
            }
        } else if (NameIs(element, L"Font")) {
            int id = -1;
            const wchar_t* face = nullptr;
            int size = 12;
            bool bold = false, underline = false, italic = false, isDefault = false, shared = false;
            for (int i = 0; i < node.GetAttributeCount(); ++i) {
                const wchar_t* attr = node.GetAttributeName(i);
                const wchar_t* value = node.GetAttributeValue(i);
                if (NameIs(attr, L"id"))
                    id = ParseInt(value);
                else if (NameIs(attr, L"name"))
                    face = value;
                else if (NameIs(attr, L"size"))
                    size = ParseInt(value);
                else if (NameIs(attr, L"bold"))
                    bold = ParseBool(value);
                else if (NameIs(attr, L"underline"))
                    underline = ParseBool(value);
                else if (NameIs(attr, L"italic"))
                    italic = ParseBool(value);
                else if (NameIs(attr, L"default"))
                    isDefault = ParseBool(value);
                else if (NameIs(attr, L"shared"))
                    shared = ParseBool(value);
            }
            if (face == nullptr || face[0] == L'\0') {
                continue;
            }
            CUiString faceName(face);  // "@font_name": the face of the language
            CUiManager::ProcessLanguageText(faceName);
            if (id >= 0) {
                manager->AddFont(id, faceName, size, bold, underline, italic, shared);
            }
            if (isDefault) {
                manager->SetDefaultFont(faceName, size, bold, underline, italic, shared);
            }
        } else if (NameIs(element, L"Default")) {
            const wchar_t* name = nullptr;
            const wchar_t* value = L"";
            bool shared = false;
            for (int i = 0; i < node.GetAttributeCount(); ++i) {
                const wchar_t* attr = node.GetAttributeName(i);
                if (NameIs(attr, L"name"))
                    name = node.GetAttributeValue(i);
                else if (NameIs(attr, L"value"))
                    value = node.GetAttributeValue(i);
                else if (NameIs(attr, L"shared"))
                    shared = ParseBool(node.GetAttributeValue(i));
            }
            if (name != nullptr && name[0] != L'\0') {
                manager->AddDefaultAttributeList(name, value, shared);
            }
        }
    }
}

CControlUI* CSkinBuilder::CreateByName(const wchar_t* name)
{
    CControlUI* control = CreateElement(name);
    if (control != nullptr) {
        return control;
    }
    CUiPtrArray* factories = CUiManager::GetControlFactories();
    for (int i = 0; factories != nullptr && i < factories->GetSize(); ++i) {
        UiCreateControlProc proc = reinterpret_cast<UiCreateControlProc>(factories->GetAt(i));
        control = proc != nullptr ? proc(name) : nullptr;
        if (control != nullptr) {
            return control;
        }
    }
    return m_pCallback != nullptr ? m_pCallback->CreateControl(name) : nullptr;
}

void CSkinBuilder::BuildInclude(const CXmlNode& node, CControlUI* parent, CUiManager* manager, int depth,
                                CControlUI*& first)
{
    int count = 1;
    const wchar_t* source = nullptr;
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
        const wchar_t* attr = node.GetAttributeName(i);
        if (NameIs(attr, L"count"))
            count = ParseInt(node.GetAttributeValue(i));
        else if (NameIs(attr, L"source"))
            source = node.GetAttributeValue(i);
    }
    if (source == nullptr || source[0] == L'\0' || count <= 0) {
        return;
    }
    if (m_iIncludeDepth >= MAX_INCLUDE_DEPTH) {
        common::log("CSkinBuilder::BuildInclude", __LINE__, L"include of %s nested deeper than %d levels", source,
                    static_cast<int>(MAX_INCLUDE_DEPTH));
        SetError(L"Include nested too deep", source);
        return;
    }
    int& copies = Outermost()->m_nIncludeCopies;
    if (count > MAX_INCLUDE_COPIES - copies) {
        common::log("CSkinBuilder::BuildInclude", __LINE__, L"include of %s %d times: %d of %d copies are left", source,
                    count, MAX_INCLUDE_COPIES - copies, static_cast<int>(MAX_INCLUDE_COPIES));
        SetError(L"Too many includes", source);
        return;
    }
    copies += count;
    // The source text lives in this document, which stays loaded while the
    // nested builders read their own.
    CUiString sourceText(source);
    for (int i = 0; i < count; ++i) {
        CSkinBuilder nested;
        nested.m_iIncludeDepth = m_iIncludeDepth + 1;
        nested.m_iStartDepth = depth - 1;  // its top level is this one
        nested.m_pOuter = this;
        CControlUI* control = nullptr;
        if (m_bFromResource) {
            control = nested.Create(CUiStringOrId(static_cast<unsigned int>(ParseInt(sourceText))), m_sResourceType,
                                    m_pCallback, manager, parent);
        } else {
            control = nested.Create(sourceText.GetData(), nullptr, m_pCallback, manager, parent);
        }
        if (control == nullptr && !nested.m_xml.GetRoot().IsValid()) {
            common::log("CSkinBuilder::BuildInclude", __LINE__, L"include %s not built: %s", sourceText.GetData(),
                        nested.m_xml.GetLastErrorMessage());
            if (nested.m_xml.GetLastErrorMessage()[0] != L'\0') {
                SetError(nested.m_xml.GetLastErrorMessage(), nested.m_xml.GetLastErrorLocation());
            }
            return;
        }
        if (control != nullptr && parent == nullptr) {
            // At the top level only the first control has a place to go.
            if (first == nullptr) {
                first = control;
            } else {
                Discard(control, manager);
            }
        }
        if (IsAbandoned()) {
            return;
        }
    }
}

void CSkinBuilder::ApplyAttributes(const CXmlNode& node, CControlUI* control, CUiManager* manager)
{
    if (manager == nullptr) {
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
        }
        return;
    }
    CControlUI* owner = control->GetParent();
    control->SetManager(manager, nullptr, false);
    const wchar_t* defaults = manager->GetDefaultAttributeList(node.GetName());
    if (defaults != nullptr) {
        control->ApplyAttributeList(defaults);
    }
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
        control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
    }
    control->SetManager(nullptr, owner, false);
}

bool CSkinBuilder::BuildTreeNode(const CXmlNode& node, CControlUI* parent, CUiManager* manager, int depth,
                                 CControlUI*& first)
{
    // A tree node joins its parent node or its tree view before its own
    // children are built, so that each child node finds its place in the
    // view after the rows of its elder siblings.
    if (parent == nullptr ||
        (parent->GetInterface(L"TreeNode") == nullptr && parent->GetInterface(L"TreeView") == nullptr)) {
        common::log("CSkinBuilder::BuildTreeNode", __LINE__, L"TreeNode placed under %s, neither tree view nor node",
                    parent != nullptr ? parent->GetClass() : L"(nothing)");
        return false;
    }
    CControlUI* control = CreateByName(node.GetName());
    IContainerUI* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
    if (control == nullptr) {
        common::log("CSkinBuilder::BuildTreeNode", __LINE__, L"no tree node control registered");
        return true;
    }
    if (container == nullptr) {
        common::log("CSkinBuilder::BuildTreeNode", __LINE__, L"%s holds no children", parent->GetClass());
        Discard(control, manager);
        return false;
    }
    if (!container->Add(control)) {
        common::log("CSkinBuilder::BuildTreeNode", __LINE__, L"TreeNode refused by its parent %s", parent->GetClass());
        Discard(control, manager);
        return true;
    }
    ApplyAttributes(node, control, manager);
    if (node.HasChildren()) {
        Parse(node.GetChild(), control, manager, depth + 1);
    }
    if (first == nullptr) {
        first = control;
    }
    return true;
}

CControlUI* CSkinBuilder::Parse(const CXmlNode& firstNode, CControlUI* parent, CUiManager* manager, int depth)
{
    // The tree is built, laid out, painted and deleted by recursion, one
    // level at a time: a skin nested deeper than any real one would run the
    // UI thread out of stack. Such a skin is not built at all.
    if (depth > MAX_NESTING_DEPTH && firstNode.IsValid()) {
        common::log("CSkinBuilder::Parse", __LINE__, L"%s nested deeper than %d levels: the skin is not built",
                    firstNode.GetName(), static_cast<int>(MAX_NESTING_DEPTH));
        SetError(L"Skin nested too deep", firstNode.GetName());
        Outermost()->m_bAbandoned = true;
        return nullptr;
    }
    CControlUI* first = nullptr;
    for (CXmlNode node = firstNode; node.IsValid() && !IsAbandoned(); node = node.GetSibling()) {
        const wchar_t* name = node.GetName();
        if (IsResourceElement(name)) {
            continue;
        }
        if (NameIs(name, L"Include")) {
            BuildInclude(node, parent, manager, depth, first);
            continue;
        }
        if (NameIs(name, L"TreeNode")) {
            if (!BuildTreeNode(node, parent, manager, depth, first)) {
                return first;
            }
            continue;
        }
        CControlUI* control = CreateByName(name);
        if (control == nullptr) {
            continue;
        }
        if (node.HasChildren()) {
            Parse(node.GetChild(), control, manager, depth + 1);
        }

        if (parent != nullptr) {
            const wchar_t* cover = node.GetAttributeValue(L"cover");
            if (cover != nullptr && ParseBool(cover)) {
                parent->SetCover(control);
            } else {
                IContainerUI* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
                if (container == nullptr) {
                    common::log("CSkinBuilder::Parse", __LINE__, L"%s placed under %s, which holds no children", name,
                                parent->GetClass());
                    Discard(control, manager);
                    return first;
                }
                if (!container->Add(control)) {
                    common::log("CSkinBuilder::Parse", __LINE__, L"%s refused by its parent %s", name,
                                parent->GetClass());
                    Discard(control, manager);
                    continue;
                }
            }
        } else if (first != nullptr) {
            // Without a parent only the first top-level control is kept.
            common::log("CSkinBuilder::Parse", __LINE__, L"extra top-level element %s dropped", name);
            Discard(control, manager);
            continue;
        }

        ApplyAttributes(node, control, manager);
        if (first == nullptr) {
            first = control;
        }
    }
    return first;
}

}  // namespace SkinUI
