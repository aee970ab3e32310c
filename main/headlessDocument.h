#pragma once

class cuiMain;

// Starts an untitled document without changes from the initial file of model
// variant `variant`, as the desktop program does when it builds its window;
// for controllers that never get one (marlo-clone, tests). A variant the model
// does not have means its first one. The variant becomes the settings store's
// (in memory: nothing here saves it).
void cmcStartHeadlessDocument(cuiMain& controller, int variant);
