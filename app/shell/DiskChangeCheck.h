#pragma once

class CBrindleDocBase;
class wxDocument;

// Asks about a change another program made to a document's file (the document
// layer decides what to ask) and reloads the document when the user says so.
// One question at a time: activations caused by the question itself do not ask
// again. Remote documents and documents without a file are left alone.
void CheckDocumentOnDisk(CBrindleDocBase* doc);

// Opens the document's file again in place of the document, through the normal
// open path (errors told as on open), in the mode its frame showed; the recent
// files stay as they are. The old document is discarded. Returns the new
// document, or null when the file cannot be read (told; the old one stays).
wxDocument* ReloadDocument(CBrindleDocBase* doc);
