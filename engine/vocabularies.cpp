#include "engine/vocabularies.h"

namespace ostrel::engine {

std::string FieldTypeName(std::int16_t typeCode) {
    switch (typeCode) {
        case 1:
            return "Boolean";
        case 2:
            return "Byte";
        case 3:
            return "Integer";
        case 4:
            return "Long";
        case 5:
            return "Currency";
        case 6:
            return "Single";
        case 7:
            return "Double";
        case 8:
            return "Date / Time";
        case 9:
            return "Binary";
        case 10:
            return "Text";
        case 11:
            return "Long Binary (OLE Object)";
        case 12:
            return "Memo";
        case 15:
            return "Guid";
        case 16:
            return "Big Integer";
        case 17:
            return "VarBinary";
        case 18:
            return "Char";
        case 19:
            return "Numeric";
        case 20:
            return "Decimal";
        case 21:
            return "Float";
        case 22:
            return "Time";
        case 23:
            return "Time Stamp";
        case 26:
            return "Date/Time Extended";
        default:
            return {};
    }
}

std::string QueryTypeName(std::int16_t typeCode) {
    switch (typeCode) {
        case 0:
            return "Select";
        case 16:
            return "Crosstab";
        case 32:
            return "Delete";
        case 48:
            return "Update";
        case 64:
            return "Append";
        case 80:
            return "Make - Table";
        case 96:
            return "Data - definition";
        case 112:
            return "Pass-through (Microsoft Jet workspaces only)";
        case 128:
            return "Union";
        case 144:
            return "Used with dbQSQLPassThrough to specify a query that doesn't return records "
                   "(Microsoft Jet workspaces only).";
        case 160:
            return "Compound";
        case 224:
            return "Procedure (ODBCDirect workspaces only)";
        case 240:
            return "Action";
        default:
            return {};
    }
}

std::string ParameterDirectionName(std::int16_t direction) {
    switch (direction) {
        case 1:
            return "Input Parameter";
        case 2:
            return "Output Parameter";
        case 3:
            return "Input/Output Parameter";
        case 4:
            return "Return Value";
        default:
            return {};
    }
}

std::string ModuleTypeName(schema::VbaModuleKind kind) {
    switch (kind) {
        case schema::VbaModuleKind::Standard:
            return "Standard";
        case schema::VbaModuleKind::Class:
            return "Class";
        case schema::VbaModuleKind::Document:
            return "Document";
        case schema::VbaModuleKind::Designer:
            return "Designer";
    }
    return {};
}

}  // namespace ostrel::engine
