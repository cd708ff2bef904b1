#pragma once
// Printer access layer (placeholder until printing lands).
class TWbPrinter {};
