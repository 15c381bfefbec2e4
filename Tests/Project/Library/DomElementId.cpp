// The XML storage asks the DOM for IXMLDOMElement by its id, which MinGW's msxml.h does not
// declare; until the storage declares it itself, this program supplies the same inline definition.
#include <msxml.h>

__CRT_UUID_DECL(IXMLDOMElement, 0x2933BF86, 0x7B36, 0x11D2, 0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60)

// Taking the address makes the compiler emit the definition for the linker.
const GUID& (*const volatile DomElementId)() = &__mingw_uuidof<IXMLDOMElement>;
