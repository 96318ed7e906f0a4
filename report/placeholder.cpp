// Placeholder until the module has sources of its own.
namespace lambreya {
}
